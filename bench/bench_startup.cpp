// Start-up until the first window is on screen, three ways, each a fresh process and the
// three taken in turn so that drift of the machine falls on all alike:
//   bare       a Qt window with a label and a list, drawn, and nothing else
//   floor      the same window that also opens the encrypted database with its key and
//              lists the users: what any program that shows them must do
//   versekeep  the real program up to its user list, today's backup made already
//   backup     the same with today's backup still to make: it must not hold the list back
// The moment is the window's first expose event, which Qt delivers once the display has
// mapped the window. Run it under a display:
//   cmake -S . -B build-bench -G Ninja -DVERSEKEEP_BENCH=ON && ninja -C build-bench bench_startup
//   xvfb-run -a build-bench/bench/bench_startup build-bench/tests/data/bible.db
#include "benchhome.h"

#include "app/application.h"
#include "core/clock.h"
#include "gui/desktop.h"
#include "gui/messageboxdialogs.h"
#include "core/settings.h"
#include "db/backup.h"
#include "db/database.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QProcess>
#include <QVBoxLayout>
#include <QWindow>
#include <cstdio>
#include <ctime>
#include <map>
#include <vector>

namespace {
qint64 monotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// Prints the moment the window is first exposed, then ends the event loop.
class ExposeReporter : public QObject {
public:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (!reported_ && event->type() == QEvent::Expose &&
            static_cast<QWindow *>(watched)->isExposed()) {
            reported_ = true;
            std::printf("%lld\n", static_cast<long long>(monotonicNs()));
            std::fflush(stdout);
            QCoreApplication::exit(0);
        }
        return false;
    }

private:
    bool reported_ = false;
};

QWidget *visibleWindow() {
    for (QWidget *window : QApplication::topLevelWidgets())
        if (window->isVisible())
            return window;
    return nullptr;
}

int child(int argc, char *argv[], const QString &mode) {
    QApplication qtApp(argc, argv);
    MessageBoxDialogs dialogs;
    SystemClock clock;
    SystemDesktop desktop;
    Application app(dialogs, clock, desktop);
    QMainWindow plain;
    if (mode == QLatin1String("versekeep") || mode == QLatin1String("backup")) {
        if (!app.Main())
            return 1;
    } else {
        auto *area = new QWidget(&plain);
        auto *layout = new QVBoxLayout(area);
        layout->addWidget(new QLabel(QStringLiteral("Users"), area));
        auto *list = new QListWidget(area);
        layout->addWidget(list);
        plain.setCentralWidget(area);
        plain.resize(260, 460);
        if (mode == QLatin1String("floor")) {
            Database db(Settings::databaseLocation().filePath());
            Statement users(db, "SELECT id, name FROM Users ORDER BY name, id");
            while (users.next())
                list->addItem(users.text(1));
        } else {
            list->addItems({QStringLiteral("Ann"), QStringLiteral("Bob")});
        }
        plain.show();
    }
    ExposeReporter reporter;
    QWidget *window = visibleWindow();
    if (!window)
        return 1;
    window->windowHandle()->installEventFilter(&reporter);
    return QApplication::exec();
}

} // namespace

int main(int argc, char *argv[]) {
    const QStringList modes{QStringLiteral("bare"), QStringLiteral("floor"),
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
    for (int run = 0; run < runs; ++run) {
        for (const QString &mode : modes) {
            if (mode == QLatin1String("backup"))
                QDir(backupFolder(home.path())).removeRecursively();
            QProcess process;
            const qint64 started = monotonicNs();
            process.start(self, {QStringLiteral("--child"), mode});
            process.waitForFinished(30000);
            const qint64 shown = process.readAllStandardOutput().trimmed().toLongLong();
            if (process.exitCode() != 0 || shown == 0)
                qFatal("the %s start failed", qPrintable(mode));
            samples[mode].push_back((shown - started) / 1e6);
        }
    }
    const double bare = median(samples[modes[0]]);
    const double floor = median(samples[modes[1]]);
    const double versekeep = median(samples[modes[2]]);
    const double withBackup = median(samples[modes[3]]);
    std::printf("median of %d starts of each, taken in turn, until the window is exposed\n", runs);
    std::printf("bare window:           %8.1f ms\n", bare);
    std::printf("floor (open and list): %8.1f ms\n", floor);
    std::printf("user list:             %8.1f ms\n", versekeep);
    std::printf("user list, backup due: %8.1f ms\n", withBackup);
    std::printf("user list / floor:     %8.2f\nuser list / bare:      %8.2f\n", versekeep / floor,
                versekeep / bare);
    return 0;
}
