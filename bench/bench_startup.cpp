// Start-up until the user list is shown, against a bare Qt window started the same way.
// Each sample is a fresh process; run it under a display:
//   cmake -S . -B build-bench -G Ninja -DVERSEKEEP_BENCH=ON && ninja -C build-bench bench_startup
//   xvfb-run -a build-bench/bench/bench_startup build-bench/tests/data/bible.db
#include "application.h"
#include "clock.h"
#include "messageboxdialogs.h"
#include "users.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMainWindow>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {
qint64 monotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// In the child: show the window, then print the moment it was exposed.
int child(int argc, char *argv[], bool bare) {
    QApplication qtApp(argc, argv);
    MessageBoxDialogs dialogs;
    SystemClock clock;
    Application app(dialogs, clock);
    QMainWindow plain;
    QWidget *window = &plain;
    if (bare) {
        plain.resize(260, 460);
        plain.show();
    } else {
        if (!app.Main())
            return 1;
        window = app.users();
    }
    if (!QTest::qWaitForWindowExposed(window))
        return 1;
    std::printf("%lld\n", static_cast<long long>(monotonicNs()));
    return 0;
}

double medianMs(const QString &program, const QString &mode, int runs) {
    std::vector<double> samples;
    for (int run = 0; run < runs; ++run) {
        QProcess process;
        const qint64 started = monotonicNs();
        process.start(program, {mode});
        process.waitForFinished(30000);
        const qint64 shown = process.readAllStandardOutput().trimmed().toLongLong();
        if (process.exitCode() != 0 || shown == 0)
            qFatal("the %s start failed", qPrintable(mode));
        samples.push_back((shown - started) / 1e6);
    }
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}
} // namespace

int main(int argc, char *argv[]) {
    if (argc == 2 && (qstrcmp(argv[1], "--bare") == 0 || qstrcmp(argv[1], "--versekeep") == 0))
        return child(argc, argv, qstrcmp(argv[1], "--bare") == 0);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s VERSE-DATABASE\n", argv[0]);
        return 2;
    }
    QCoreApplication app(argc, argv);
    // A private settings file pointing at a copy of the database.
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path()));
    const QString database = home.filePath(QStringLiteral("versekeep.db"));
    QFile::copy(QString::fromLocal8Bit(argv[1]), database);
    QFile::setPermissions(database, QFile::ReadOwner | QFile::WriteOwner);
    {
        QSettings settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Tarnholm"));
        settings.setValue(QStringLiteral("versekeep/dbPath"), home.path() + '/');
        settings.setValue(QStringLiteral("versekeep/dbName"), QStringLiteral("versekeep.db"));
    }
    const QString self = QCoreApplication::applicationFilePath();
    const int runs = 15;
    const double bare = medianMs(self, QStringLiteral("--bare"), runs);
    const double versekeep = medianMs(self, QStringLiteral("--versekeep"), runs);
    std::printf("median of %d starts until the window is shown\n", runs);
    std::printf("bare Qt window: %8.1f ms\nuser list:      %8.1f ms\nratio:          %8.2f\n",
                bare, versekeep, versekeep / bare);
    return 0;
}
