// Opening a user's passage window, for users with 1, 1,000 and 10,000 passages: the median
// time from the call until the window has painted, the window already made (it is made once
// a run), and the first opening, which makes it.
//   cmake -S . -B build-bench -G Ninja -DVERSEKEEP_BENCH=ON && ninja -C build-bench bench_openpassages
//   xvfb-run -a build-bench/bench/bench_openpassages build-bench/tests/data/bible.db
#include "benchhome.h"

#include "app/application.h"
#include "core/clock.h"
#include "gui/desktop.h"
#include "gui/messageboxdialogs.h"
#include "db/database.h"
#include "store/passages.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QWidget>
#include <cstdio>

namespace {
void addPassages(Database &db, qint64 user, int count) {
    Transaction transaction(db);
    Statement(db, "INSERT INTO Users (id, Name) VALUES (?, 'bench')").bindAll(user).run();
    Statement add(db, "INSERT INTO Passages (startbook, startchapter, startverse, endbook, "
                      "endchapter, endverse, username, UserID, scheduledate) VALUES "
                      "('Psalms', ?, 1, 'Psalms', ?, 5, 'bench', ?, '2026-01-01 00:00:00')");
    for (int i = 0; i < count; ++i)
        add.bindAll(i % 150 + 1, i % 150 + 1, user).run();
    transaction.commit();
}

QWidget *passageWindow() {
    for (QWidget *window : QApplication::topLevelWidgets())
        if (window->objectName() == QLatin1String("UserPassages"))
            return window;
    qFatal("no passage window");
}

} // namespace

int main(int argc, char *argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s VERSE-DATABASE\n", argv[0]);
        return 2;
    }
    QApplication qtApp(argc, argv);
    const BenchHome home(argv[1]);
    const int sizes[] = {1, 1000, 10000};
    {
        Database db(home.path());
        for (int i = 0; i < 3; ++i)
            addPassages(db, i + 1, sizes[i]);
    }
    MessageBoxDialogs dialogs;
    SystemClock clock;
    SystemDesktop desktop;
    Application app(dialogs, clock, desktop);
    if (!app.Main())
        return 1;
    QElapsedTimer timer;
    std::printf("opening the passage window (median of 15, ms)\n");
    for (int i = 0; i < 3; ++i) {
        std::vector<double> samples;
        for (int run = 0; run < 16; ++run) {
            timer.start();
            app.showPassages(QStringLiteral("bench"), i + 1);
            QWidget *window = passageWindow();
            window->repaint();
            const double ms = timer.nsecsElapsed() / 1e6;
            if (run > 0 || i > 0)
                samples.push_back(ms);
            else
                std::printf("first opening, making the window: %8.2f\n", ms);
            window->hide();
            QCoreApplication::processEvents();
        }
        std::vector<double> query;
        for (int run = 0; run < 15; ++run) {
            timer.start();
            passageList(app.dbConn(), i + 1);
            query.push_back(timer.nsecsElapsed() / 1e6);
        }
        std::printf("%6d passages: %8.2f   (the list query alone: %6.2f)\n", sizes[i],
                    median(samples), median(query));
    }
    app.ExitProgram();
    return 0;
}
