# Shared by scripts/run, scripts/test and packaging/check: install what is missing, then
# configure and build.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${VERSEKEEP_BUILD_DIR:-$ROOT/build}"

PACKAGES=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-qpa-plugins qt6-webengine-dev qt6-charts-dev libgl-dev
  libsqlcipher-dev sqlcipher
  libsword-dev sword-text-kjv sword-text-web sword-text-sparv
  fonts-liberation
  fp-utils librsvg2-bin
  xvfb xauth
  clang libclang-rt-14-dev
)

install_missing() {
  local missing=()
  for package in "${PACKAGES[@]}" "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
      missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  "${sudo[@]}" apt-get update -q
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends \
    "${missing[@]}"
}

build() {
  cmake -S "$ROOT" -B "$BUILD" -G Ninja "$@" >/dev/null
  ninja -C "$BUILD"
}
