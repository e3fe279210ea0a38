// Opening a user's passage window until it is drawn (bench/benchwindow.h says when that is),
// for users with 1, 1,000 and 10,000 passages, against its floor, the two taken in turn run
// by run (which goes first alternating), each from its window hidden and taken off the screen:
//   passages  Application::showPassages, the window made already (the first opening, which
//             makes it, is shown apart)
//   floor     the simplest window that draws the same: the user's name, the passages read by
//             one query that writes their text, and the two book lists from names read once
//             (the window keeps them too), in three plain lists of the window's size
//   cmake -S . -B build-bench -G Ninja -DVERSEKEEP_BENCH=ON && ninja -C build-bench bench_openpassages
//   xvfb-run -a build-bench/bench/bench_openpassages build-bench/tests/data/bible.db
#include "benchhome.h"
#include "benchwindow.h"

#include "app/application.h"
#include "core/clock.h"
#include "db/database.h"
#include "gui/desktop.h"
#include "gui/messageboxdialogs.h"

#include <QApplication>
#include <QBoxLayout>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>

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

QWidget *programWindow(const char *name) {
    for (QWidget *window : QApplication::topLevelWidgets())
        if (window->objectName() == QLatin1String(name))
            return window;
    qFatal("no window %s", name);
}

QListWidget *passageList(QWidget *window) {
    return window->findChild<QListWidget *>(QStringLiteral("PassageList"));
}

class FloorWindow : public QWidget {
public:
    FloorWindow(Database &db, QSize size) : db_(db) {
        auto *lists = new QHBoxLayout(this);
        auto *left = new QVBoxLayout;
        left->addWidget(name_);
        left->addWidget(passages_);
        lists->addLayout(left);
        lists->addWidget(startBooks_);
        lists->addWidget(endBooks_);
        passages_->setUniformItemSizes(true);
        Statement books(db, "SELECT DISTINCT Book FROM kjv ORDER BY BookNum");
        while (books.next())
            bookNames_ << books.text(0);
        resize(size);
    }

    void open(qint64 user) {
        name_->setText(QStringLiteral("bench"));
        passages_->clear();
        Statement rows(db_, "SELECT startbook || ' ' || startchapter || ':' || startverse || "
                            "' - ' || endbook || ' ' || endchapter || ':' || endverse "
                            "FROM Passages WHERE UserID = ? ORDER BY id");
        rows.bindAll(user);
        while (rows.next())
            passages_->addItem(rows.text(0));
        for (QListWidget *books : {startBooks_, endBooks_}) {
            books->clear();
            books->addItems(bookNames_);
        }
        show();
    }

    const QListWidget *passages() const { return passages_; }

private:
    Database &db_;
    QLabel *name_ = new QLabel;
    QListWidget *passages_ = new QListWidget;
    QListWidget *startBooks_ = new QListWidget;
    QListWidget *endBooks_ = new QListWidget;
    QStringList bookNames_;
};

// From the call until the window it opens is drawn.
double untilDrawn(const std::function<QWidget *()> &open) {
    QElapsedTimer timer;
    timer.start();
    waitUntilDrawn(open());
    return timer.nsecsElapsed() / 1e6;
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
    waitUntilDrawn(programWindow("Users"));
    auto open = [&](qint64 user) {
        return [&app, user] {
            app.showPassages(QStringLiteral("bench"), user);
            return programWindow("UserPassages");
        };
    };
    const double first = untilDrawn(open(1));
    QWidget *window = programWindow("UserPassages");
    FloorWindow floor(app.dbConn(), window->size());

    const int runs = 15;
    std::printf("opening the passage window until drawn, median of %d (least-most)\n", runs);
    std::printf("  %-36s %8.2f ms\n", "first opening, making the window", first);
    for (int i = 0; i < 3; ++i) {
        const qint64 user = i + 1;
        std::vector<double> passages, floors;
        for (int run = -1; run < runs; ++run) { // the first warms up
            for (int turn = 0; turn < 2; ++turn) {
                const bool floorTurn = (turn + run + 1) % 2 == 1;
                hideAndSettle(window);
                hideAndSettle(&floor);
                const double ms = floorTurn ? untilDrawn([&] {
                    floor.open(user);
                    return &floor;
                })
                                            : untilDrawn(open(user));
                if (run >= 0)
                    (floorTurn ? floors : passages).push_back(ms);
            }
        }
        const QListWidget *shown = passageList(window);
        if (shown->count() != floor.passages()->count() ||
            shown->item(0)->text() != floor.passages()->item(0)->text())
            qFatal("the floor shows other passages");
        std::printf("%d passages:\n", sizes[i]);
        printFigure("passage window", passages);
        printFigure("floor", floors);
        printFigure("passage window / floor, run by run", runByRun(passages, floors), "  ");
    }
    app.ExitProgram();
    return 0;
}
