#include "core/partfile.h"

#include "core/error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {
QString errnoText(int err) {
    return QString::fromLocal8Bit(std::strerror(err));
}

// fsync of a file or folder by name: 0, or the errno of the failure.
int syncByName(const QString &path, int flags) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | flags);
    if (fd < 0)
        return errno;
    const int result = ::fsync(fd) == 0 ? 0 : errno;
    ::close(fd);
    return result;
}

bool isGone(const QString &processId) {
    bool ok = false;
    const pid_t pid = processId.toInt(&ok);
    return ok && pid > 0 && ::kill(pid, 0) != 0 && errno == ESRCH;
}
} // namespace

PartFile::PartFile(const QString &target) {
    const QFileInfo info(target);
    target_ = info.absoluteFilePath();
    const QString stem = info.absolutePath() + QStringLiteral("/.") + info.fileName() + '.' +
                         QString::number(::getpid()) + '-';
    // O_EXCL makes "is the name free?" and "take it" one step; a second writer of the same
    // target in this process takes the next number. Owner only, whatever the umask: what is
    // written here is a learner's database or a copy of one, and its key is no secret.
    for (int attempt = 0;; ++attempt) {
        path_ = stem + QString::number(attempt) + QStringLiteral(".part");
        const int fd = ::open(QFile::encodeName(path_).constData(),
                              O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0) {
            ::close(fd);
            return;
        }
        const int err = errno;
        if (err != EEXIST || attempt >= 100)
            throw Error(Error::FileSystem, QStringLiteral("cannot make a file in %1 (%2)")
                                               .arg(info.absolutePath(), errnoText(err)));
    }
}

PartFile::~PartFile() {
    if (!placed_)
        QFile::remove(path_);
    QFile::remove(path_ + QStringLiteral("-journal"));
}

void PartFile::putInPlace() {
    syncPart();
    // link(2), unlike rename(2), never replaces a file that is there.
    if (::link(QFile::encodeName(path_).constData(), QFile::encodeName(target_).constData()) != 0) {
        const int err = errno;
        if (err == EEXIST)
            throw Error(Error::FileExists, QStringLiteral("%1 exists already").arg(target_));
        throw Error(Error::FileSystem,
                    QStringLiteral("cannot put the file at %1: %2").arg(target_, errnoText(err)));
    }
    placed_ = true;
    // Only a second name of the target now.
    QFile::remove(path_);
    syncFolder();
}

void PartFile::replace() {
    syncPart();
    if (::rename(QFile::encodeName(path_).constData(), QFile::encodeName(target_).constData()) != 0)
        throw Error(Error::FileSystem,
                    QStringLiteral("cannot put the file at %1: %2").arg(target_, errnoText(errno)));
    placed_ = true;
    syncFolder();
}

void PartFile::syncPart() const {
    if (const int err = syncByName(path_, 0))
        throw Error(Error::FileSystem,
                    QStringLiteral("cannot write %1 to disk: %2").arg(path_, errnoText(err)));
}

void PartFile::syncFolder() const {
    // The file is whole under its name already, and saying it failed would be untrue; a
    // folder that refuses the sync leaves only the name to the system's next flush.
    syncByName(QFileInfo(target_).absolutePath(), O_DIRECTORY);
}

void removeDeadWritersParts(const QString &folder,
                            const std::function<bool(const QString &targetName)> &isTarget) {
    // Backups of earlier versions named their parts ".NAME.PID.part".
    static const QRegularExpression part(
        QStringLiteral(R"(^\.(.+)\.(\d+)(-\d+)?\.part(-journal)?$)"));
    for (const QString &name : QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        const QRegularExpressionMatch match = part.match(name);
        if (match.hasMatch() && isTarget(match.captured(1)) && isGone(match.captured(2)))
            QFile::remove(folder + '/' + name);
    }
}
