// Building the whole database from the KJV module, against the floor: reading every verse
// of the module through SWORD the same way (same iteration, same stripText), no database.
//   cmake -S . -B build-bench -G Ninja -DVERSEKEEP_BENCH=ON && ninja -C build-bench bench_makedb &&
//   build-bench/bench/bench_makedb
// An optional argument sets the number of runs of each (default 5); medians are printed.
#include "bible/builder.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {
double medianSeconds(int runs, const std::function<void()> &work) {
    std::vector<double> seconds;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        work();
        seconds.push_back(double(timer.nsecsElapsed()) / 1e9);
    }
    std::sort(seconds.begin(), seconds.end());
    return seconds[seconds.size() / 2];
}
} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 5;
    int verses = 0;

    const double floor = medianSeconds(runs, [&] {
        VerseSource source(QString::fromLatin1(VerseSource::defaultModule));
        verses = 0;
        source.forEachVerse([&](const SourceVerse &) { ++verses; });
    });
    const double cleaned = medianSeconds(runs, [&] {
        VerseSource source(QString::fromLatin1(VerseSource::defaultModule));
        qsizetype characters = 0;
        source.forEachVerse([&](const SourceVerse &verse) {
            characters += plainVerseText(verse.text, false).size();
        });
        if (characters == 0)
            std::puts("no text?");
    });
    const double build = medianSeconds(runs, [&] {
        QTemporaryDir dir;
        VerseSource source(QString::fromLatin1(VerseSource::defaultModule));
        buildDatabase(dir.filePath(QStringLiteral("bench.db")), source, {});
    });

    std::printf("%d verses of %s, median of %d runs each\n", verses, VerseSource::defaultModule,
                runs);
    std::printf("  floor: read every verse         %7.3f s  %8.0f verses/s\n", floor,
                verses / floor);
    std::printf("  read and make the text plain    %7.3f s  %8.0f verses/s\n", cleaned,
                verses / cleaned);
    std::printf("  build the whole database        %7.3f s  %8.0f verses/s\n", build,
                verses / build);
    std::printf("  build / floor                   %7.2f\n", build / floor);
    return 0;
}
