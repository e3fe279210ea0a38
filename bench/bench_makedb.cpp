// Building a whole database from a module (by default the Spanish Reina-Valera, whose book
// names come from SWORD's locale), against the floor: reading every verse of the module
// through SWORD the same way (same filters, iteration and stripText), no database. The
// three are run in turn, run by run, so that a busy machine slows each alike.
//   cmake -S . -B build-bench -G Ninja -DVERSEKEEP_BENCH=ON && ninja -C build-bench bench_makedb &&
//   build-bench/bench/bench_makedb [RUNS [MODULE]]
// RUNS defaults to 7; medians are printed with the lowest and highest run, and the build's
// time over the floor's is taken run by run, which a load that comes and goes upsets less.
#include "benchhome.h"
#include "bible/builder.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {
struct Timing {
    const char *what;
    std::function<void()> work;
    std::vector<double> seconds = {};

    void run() {
        QElapsedTimer timer;
        timer.start();
        work();
        seconds.push_back(double(timer.nsecsElapsed()) / 1e9);
    }
};

void printSpread(const char *what, const std::vector<double> &samples, const char *unit) {
    const auto [low, high] = std::minmax_element(samples.begin(), samples.end());
    std::printf("  %-30s %7.3f%s (%.3f-%.3f)\n", what, median(samples), unit, *low, *high);
}
} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 7;
    const QString module = argc > 2 ? QString::fromLocal8Bit(argv[2]) : "spaRV1909eb";
    int verses = 0;
    qsizetype characters = 0;

    Timing timings[] = {
        {"floor: read every verse",
         [&] {
             VerseSource source(module);
             verses = 0;
             source.forEachVerse([&](const SourceVerse &) { ++verses; });
         }},
        {"read and make the text plain",
         [&] {
             VerseSource source(module);
             characters = 0;
             source.forEachVerse([&](const SourceVerse &verse) {
                 characters += plainVerseText(verse.text, false).size();
             });
         }},
        {"build the whole database",
         [&] {
             QTemporaryDir dir;
             VerseSource source(module);
             buildDatabase(dir.filePath(QStringLiteral("bench.db")), source, {});
         }},
    };
    for (int run = 0; run < runs; ++run)
        for (Timing &timing : timings)
            timing.run();

    std::printf("%d verses (%lld characters) of %s, %d runs each\n", verses,
                static_cast<long long>(characters), qPrintable(module), runs);
    for (const Timing &timing : timings)
        printSpread(timing.what, timing.seconds, " s");
    std::vector<double> ratios;
    for (int run = 0; run < runs; ++run)
        ratios.push_back(timings[2].seconds[run] / timings[0].seconds[run]);
    printSpread("build / floor, run by run", ratios, "  ");
    return 0;
}
