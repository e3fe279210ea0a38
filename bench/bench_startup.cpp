// Start-up until the first window is drawn (bench/benchwindow.h says when that is), four ways,
// each sample a fresh process from a settled disk (sync first), the four taken in turn run by
// run, which goes first moving round:
//   bare       a Qt window holding a list of two names, and nothing else
//   floor      the simplest window that draws the user list: it opens the encrypted database
//              with its key and lists the users in it, what any program that shows them does
//   versekeep  the program as main.cpp starts it, up to its user list, today's backup made
//   backup     the same with today's backup still to make: it must not hold the list back
// The clock runs from starting the process. Run it under a display:
//   cmake -S . -B build-bench -G Ninja -DVERSEKEEP_BENCH=ON && ninja -C build-bench bench_startup
//   xvfb-run -a build-bench/bench/bench_startup build-bench/tests/data/bible.db
#include "benchhome.h"
#include "benchwindow.h"

#include "app/application.h"
#include "core/clock.h"
#include "core/settings.h"
#include "db/backup.h"
#include "db/database.h"
#include "gui/about/about.h"
#include "gui/desktop.h"
#include "gui/messageboxdialogs.h"

#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QProcess>
#include <ctime>
#include <map>
#include <memory>
#include <unistd.h>

namespace {
qint64 monotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

QWidget *visibleWindow() {
    for (QWidget *window : QApplication::topLevelWidgets())
        if (window->isVisible())
            return window;
    qFatal("no window shown");
}

int child(int argc, char *argv[], const QString &kind) {
    const bool program = kind == QLatin1String("versekeep") || kind == QLatin1String("backup");
    QApplication qtApp(argc, argv);
    MessageBoxDialogs dialogs;
    SystemClock clock;
    SystemDesktop desktop;
    std::unique_ptr<Application> app;
    std::unique_ptr<QListWidget> list;
    if (program) { // as main.cpp starts it
        QApplication::setQuitOnLastWindowClosed(false);
        QApplication::setWindowIcon(programIcon());
        QGuiApplication::setDesktopFileName(QStringLiteral("versekeep"));
        app = std::make_unique<Application>(dialogs, clock, desktop);
        if (!app->Main())
            return 1;
    } else {
        list = std::make_unique<QListWidget>();
        list->resize(260, 442); // the user list's size
        if (kind == QLatin1String("floor")) {
            Database db(Settings::databaseLocation().filePath());
            Statement users(db, "SELECT id, name FROM Users ORDER BY name, id");
            while (users.next())
                list->addItem(users.text(1));
        } else {
            list->addItems({QStringLiteral("Ann"), QStringLiteral("Bob")});
        }
        list->show();
    }
    new WhenDrawn(visibleWindow(), [] {
        std::printf("%lld\n", static_cast<long long>(monotonicNs()));
        std::fflush(stdout);
        QCoreApplication::exit(0);
    });
    return QApplication::exec();
}
} // namespace

int main(int argc, char *argv[]) {
    const QStringList kinds{QStringLiteral("bare"), QStringLiteral("floor"),
                            QStringLiteral("versekeep"), QStringLiteral("backup")};
    if (argc == 3 && qstrcmp(argv[1], "--child") == 0)
        return child(argc, argv, QString::fromLatin1(argv[2]));
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s VERSE-DATABASE\n", argv[0]);
        return 2;
    }
    QCoreApplication app(argc, argv);
    // A private copy of the database, with a few users.
    const BenchHome home(argv[1]);
    {
        Database db(home.path());
        for (const char *name : {"Ann", "Bob", "Cy"})
            Statement(db, "INSERT INTO Users (Name) VALUES (?)")
                .bindAll(QString::fromLatin1(name))
                .run();
    }
    const QString self = QCoreApplication::applicationFilePath();
    const int runs = 15;
    std::map<QString, std::vector<double>> samples;
    for (int run = -1; run < runs; ++run) { // the first warms up
        for (int turn = 0; turn < kinds.size(); ++turn) {
            const QString &kind = kinds[(turn + run + 1) % kinds.size()];
            if (kind == QLatin1String("backup"))
                QDir(backupFolder(home.path())).removeRecursively();
            ::sync();
            QProcess process;
            const qint64 started = monotonicNs();
            process.start(self, {QStringLiteral("--child"), kind});
            process.waitForFinished(30000);
            const qint64 drawn = process.readAllStandardOutput().trimmed().toLongLong();
            if (process.exitCode() != 0 || drawn == 0)
                qFatal("the %s start failed", qPrintable(kind));
            if (run >= 0)
                samples[kind].push_back((drawn - started) / 1e6);
        }
    }
    std::printf("from starting the process until the window is drawn, %d starts of each, "
                "median (least-most)\n", runs);
    printFigure("bare window", samples[kinds[0]]);
    printFigure("floor (open with the key, list)", samples[kinds[1]]);
    printFigure("user list", samples[kinds[2]]);
    printFigure("user list, backup due", samples[kinds[3]]);
    printFigure("user list / floor, run by run", runByRun(samples[kinds[2]], samples[kinds[1]]),
                "  ");
    printFigure("backup due / floor, run by run",
                runByRun(samples[kinds[3]], samples[kinds[1]]), "  ");
    std::printf("  %-36s %8.2f\n", "user list / floor, of the medians",
                median(samples[kinds[2]]) / median(samples[kinds[1]]));
    return 0;
}
