// A day's backup of the whole-Bible database against its floor, the two taken in turn run by
// run (which goes first alternating), each from a settled disk (sync first):
//   backup  backUpDatabase on a day's first start, the backups folder holding the copies of
//           the six days and four weeks before, as it does once the rotation is full: the
//           copy made, checked and put in place, every kept copy looked into
//   floor   a durable copy of the file (copied, synced, its folder synced) and one integrity
//           check of it, which opens it with the key
//   cmake -S . -B build-bench -G Ninja -DVERSEKEEP_BENCH=ON && ninja -C build-bench bench_backup
//   build-bench/bench/bench_backup build-bench/tests/data/bible.db
// The start-up with a backup due is measured by bench_startup.
#include "benchhome.h"

#include "db/backup.h"
#include "db/database.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <fcntl.h>
#include <unistd.h>

namespace {
void syncByName(const QString &path, int flags = 0) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | flags);
    if (fd < 0 || ::fsync(fd) != 0)
        qFatal("cannot sync %s", qPrintable(path));
    ::close(fd);
}

double floorCopy(const QString &database, const QString &copy) {
    QElapsedTimer timer;
    timer.start();
    if (!QFile::copy(database, copy))
        qFatal("cannot copy the database");
    syncByName(copy);
    syncByName(QFileInfo(copy).absolutePath(), O_DIRECTORY);
    Database opened(copy);
    Statement check(opened, "PRAGMA integrity_check");
    if (!check.next() || check.text(0) != QLatin1String("ok"))
        qFatal("the floor's copy failed its check");
    return timer.nsecsElapsed() / 1e6;
}
} // namespace

int main(int argc, char *argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s VERSE-DATABASE\n", argv[0]);
        return 2;
    }
    QCoreApplication app(argc, argv);
    const BenchHome home(argv[1]);
    const QDateTime today(QDate(2026, 12, 6), QTime(10, 30));
    const QString folder = backupFolder(home.path());
    QDir().mkpath(folder);
    for (const int daysBefore : {1, 2, 3, 4, 5, 6, 7, 14, 21, 28})
        QFile::copy(home.path(), folder + QStringLiteral("/versekeep-%1.db")
                                              .arg(today.addDays(-daysBefore).toString(
                                                  QStringLiteral("yyyy-MM-dd-HHmmss"))));
    const QString floorPath = home.path() + QStringLiteral(".floor");

    const int runs = 15;
    std::vector<double> backup, floor;
    for (int run = -1; run < runs; ++run) { // the first warms up
        double backupMs = 0, floorMs = 0;
        for (int turn = 0; turn < 2; ++turn) {
            const bool backupTurn = (turn + run) % 2 == 0;
            QFile::remove(floorPath);
            ::sync();
            if (!backupTurn) {
                floorMs = floorCopy(home.path(), floorPath);
                continue;
            }
            QElapsedTimer timer;
            timer.start();
            const BackupReport report = backUpDatabase(home.path(), today);
            backupMs = timer.nsecsElapsed() / 1e6;
            if (report.made.isEmpty() || !report.notes().isEmpty() ||
                backupCopies(home.path()).size() != 11)
                qFatal("the backup did not keep the rotation as it was");
            QFile::remove(report.made);
        }
        if (run >= 0) {
            backup.push_back(backupMs);
            floor.push_back(floorMs);
        }
    }
    std::printf("database of %lld bytes, 10 copies kept before; median of %d, least-most\n",
                QFileInfo(home.path()).size(), runs);
    printFigure("backup (copy, check, put in place)", backup);
    printFigure("floor (durable copy, one check)", floor);
    printFigure("backup / floor, run by run", runByRun(backup, floor), "  ");
    std::printf("  %-36s %8.2f\n", "backup / floor, of the medians", median(backup) / median(floor));
    return 0;
}
