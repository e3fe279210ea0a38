// Today's backup of the whole-Bible database against a plain copy of the same file, medians
// of 5 runs each:
//   cmake -S . -B build-bench -G Ninja -DVERSEKEEP_BENCH=ON && ninja -C build-bench bench_backup
//   build-bench/bench/bench_backup build-bench/tests/data/bible.db
// The start-up with a backup due is measured by bench_startup.
#include "benchhome.h"

#include "core/clock.h"
#include "db/backup.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <cstdio>

int main(int argc, char *argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s VERSE-DATABASE\n", argv[0]);
        return 2;
    }
    QCoreApplication app(argc, argv);
    const BenchHome home(argv[1]);
    const QString copy = home.path() + QStringLiteral(".copy");
    std::vector<double> backup, plain;
    QElapsedTimer timer;
    for (int run = 0; run < 5; ++run) {
        QDir(backupFolder(home.path())).removeRecursively();
        timer.start();
        backUpDatabase(home.path(), SystemClock().now());
        backup.push_back(timer.nsecsElapsed() / 1e6);
        QFile::remove(copy);
        timer.start();
        QFile::copy(home.path(), copy);
        plain.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::printf("database of %lld bytes, medians of 5\n", QFileInfo(home.path()).size());
    std::printf("backup (export, check, put in place): %8.1f ms\n", median(backup));
    std::printf("plain copy of the file:                %8.1f ms\n", median(plain));
    std::printf("ratio:                                 %8.2f\n", median(backup) / median(plain));
    return 0;
}
