// The progress window until it is drawn (bench/benchwindow.h says when that is), against its
// floor, the two taken in turn run by run (which goes first alternating), each from a settled
// window:
//   first opening a window made anew for the whole-Bible learner below, as a learner meets it
//                 the first time: every verse's words measured, the connection's page cache
//                 emptied before each sample
//   whole Bible   opening it for a learner whose 66 passages hold every verse, all let in and
//                 all at verse level 1, the worst case: each verse's word sizes count; an
//                 opening reads every row afresh
//   refresh       the same window on show, told of a page judged just before (right, through
//                 the quiz's own code, by a learner who comes back a day later each time: the
//                 first passage, Genesis, 1,533 verses), as the quiz tells it: its figures
//                 read again and drawn
//   10,000        opening it for a learner with 10,000 passages of five verses each
// But for the first opening, the window is made already; the run's very first window, which
// also meets Qt's first drawing of charts and fonts, is shown apart, once. The floor is the
// simplest window that shows the same: the rows the figures come from stepped through by one
// query (after a judged page, the rows of its passage), and the figures, counted before the
// clock starts, set into plain labels, the same two charts and a plain table; for the first
// opening, a floor window made anew that also reads the text of every verse of the learner's
// by one query and measures each in a plain loop.
//   cmake -S . -B build-bench -G Ninja -DVERSEKEEP_BENCH=ON && ninja -C build-bench bench_progress
//   xvfb-run -a build-bench/bench/bench_progress build-bench/tests/data/bible.db
#include "benchhome.h"
#include "benchwindow.h"

#include "app/application.h"
#include "core/clock.h"
#include "db/database.h"
#include "gui/desktop.h"
#include "gui/messageboxdialogs.h"
#include "gui/progress/progresswindow.h"
#include "learning/page.h"
#include "learning/wordsize.h"
#include "store/progressreport.h"
#include "store/quiz.h"

#include <QApplication>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QBoxLayout>
#include <QChartView>
#include <QElapsedTimer>
#include <QLabel>
#include <QStackedBarSeries>
#include <QStandardItemModel>
#include <QTableView>
#include <QValueAxis>

namespace {
// One passage a book, every verse let in and at verse level 1, partway up its word-size
// ladder. The dates spread over 20 days.
void wholeBible(Database &db, qint64 user) {
    Transaction transaction(db);
    Statement(db, "INSERT INTO Users (id, Name) VALUES (?, 'bench')").bindAll(user).run();
    Statement(db, "INSERT INTO Passages (id, startbook, startchapter, startverse, endbook, "
                  "endchapter, endverse, username, UserID, scheduledate, numVersestoAsk, "
                  "numVerses, passagelevel) SELECT ? * 1000 + BookNum, Book, 1, 1, Book, "
                  "max(Chapter), 1, 'bench', ?, datetime('now', 'localtime', '+' || "
                  "(BookNum % 16) || ' days'), count(*) + 1, count(*), 1 + BookNum % 20 "
                  "FROM kjv GROUP BY BookNum")
        .bindAll(user, user)
        .run();
    Statement(db, "INSERT INTO PassageVerses (passageID, VerseBook, verseChapter, VerseNum, "
                  "verseLevel, WordSizeLevel, ScheduleDate, minWordSize) SELECT ? * 1000 + "
                  "BookNum, BookNum, Chapter, Verse, 1, 1 + Verse % 8, datetime('now', "
                  "'localtime', '+' || (Verse % 20) || ' days'), 3 + Verse % 5 FROM kjv")
        .bindAll(user)
        .run();
    transaction.commit();
}

// Verses 1 to 5 of every chapter that has them, in turn, some let in, the levels and dates
// spread.
void tenThousand(Database &db, qint64 user) {
    Transaction transaction(db);
    Statement(db, "INSERT INTO Users (id, Name) VALUES (?, 'bench')").bindAll(user).run();
    QList<std::tuple<qint64, QString, qint64>> chapters;
    Statement read(db, "SELECT BookNum, Book, Chapter FROM kjv GROUP BY BookNum, Chapter "
                       "HAVING max(Verse) >= 5");
    while (read.next())
        chapters.append({read.integer(0), read.text(1), read.integer(2)});
    Statement passage(db, "INSERT INTO Passages (startbook, startchapter, startverse, endbook, "
                          "endchapter, endverse, username, UserID, scheduledate, numVersestoAsk, "
                          "numVerses, passagelevel) VALUES (?, ?, 1, ?, ?, 5, 'bench', ?, "
                          "datetime('now', 'localtime', ?), ?, 5, ?)");
    Statement verse(db, "INSERT INTO PassageVerses (passageID, VerseBook, verseChapter, VerseNum, "
                        "verseLevel, WordSizeLevel, ScheduleDate, minWordSize) VALUES (?, ?, ?, "
                        "?, ?, ?, datetime('now', 'localtime', ?), ?)");
    for (int n = 0; n < 10000; ++n) {
        const auto &[book, name, chapter] = chapters[n % chapters.size()];
        passage
            .bindAll(name, chapter, name, chapter, user, QStringLiteral("+%1 hours").arg(n % 400),
                     1 + n % 6, 1 + n % 12)
            .run();
        const qint64 id = db.lastInsertId();
        for (int v = 1; v <= 5; ++v)
            verse
                .bindAll(id, book, chapter, v, 1 + (n + v) % 3, 1 + v,
                         QStringLiteral("+%1 hours").arg(v * n % 500), 2 + v)
                .run();
    }
    transaction.commit();
}

QWidget *programWindow(const char *name) {
    for (QWidget *window : QApplication::topLevelWidgets())
        if (window->objectName() == QLatin1String(name))
            return window;
    qFatal("no window %s", name);
}

// A window already on show is drawn anew once every event its change posted has been handled
// (layouts, the charts' scenes and at last the paint, each posting the next) and a round trip
// to the display server has seen it through.
class PostedEvents : public QObject {
public:
    void drain() {
        qApp->installEventFilter(this);
        for (qint64 before = -1; before != handled_;) {
            before = handled_;
            QCoreApplication::sendPostedEvents();
        }
        qApp->removeEventFilter(this);
        QGuiApplication::sync();
    }
    bool eventFilter(QObject *, QEvent *) override {
        ++handled_;
        return false;
    }

private:
    qint64 handled_ = 0;
};

void drawnAfterChange() {
    PostedEvents().drain();
}

QBarSet *barSet(QAbstractBarSeries *series) {
    auto *set = new QBarSet(QString());
    series->append(set);
    return set;
}

QChartView *chartView(QAbstractBarSeries *series, QBarCategoryAxis *categories, QValueAxis *count) {
    auto *chart = new QChart;
    chart->addSeries(series);
    chart->addAxis(categories, Qt::AlignBottom);
    chart->addAxis(count, Qt::AlignLeft);
    series->attachAxis(categories);
    series->attachAxis(count);
    return new QChartView(chart);
}

class FloorWindow : public QWidget {
public:
    FloorWindow(Database &db, QSize size) : db_(db) {
        auto *layout = new QGridLayout(this);
        auto *labels = new QVBoxLayout;
        for (QLabel *&label : labels_)
            labels->addWidget(label = new QLabel);
        layout->addLayout(labels, 0, 0);
        layout->addWidget(chartView(forecast_, days_, forecastCount_), 0, 1);
        auto *table = new QTableView;
        table->setModel(rows_);
        layout->addWidget(table, 1, 0);
        layout->addWidget(chartView(ladder_, levels_, ladderCount_), 1, 1);
        resize(size);
    }

    // The figures, counted beforehand, as the window shows them.
    void setFigures(const ProgressReport &report) { report_ = report; }
    const ProgressReport &figures() const { return report_; }

    void fill(qint64 user) {
        Statement rows(db_, "SELECT p.id, p.scheduledate, v.verseLevel, v.WordSizeLevel, "
                            "v.ScheduleDate, v.minWordSize FROM Passages p JOIN PassageVerses v "
                            "ON v.passageID = p.id WHERE p.UserID = ?");
        rows.bindAll(user);
        while (rows.next()) {
        }
        showFigures();
    }

    // After a page judged: the rows it wrote, stepped through by one query.
    void fillAfterPage(qint64 passage) {
        Statement rows(db_, "SELECT p.scheduledate, v.verseLevel, v.WordSizeLevel, v.ScheduleDate, "
                            "v.minWordSize FROM Passages p JOIN PassageVerses v ON v.passageID = "
                            "p.id WHERE p.id = ?");
        rows.bindAll(passage);
        while (rows.next()) {
        }
        showFigures();
    }

    // The words of every verse of the learner's, each text read and measured as it comes.
    int measure(qint64 user) {
        Statement texts(db_, "SELECT k.VerseText FROM Passages p JOIN PassageVerses v ON "
                             "v.passageID = p.id JOIN kjv k ON k.BookNum = v.VerseBook AND "
                             "k.Chapter = v.verseChapter AND k.Verse = v.VerseNum "
                             "WHERE p.UserID = ?");
        texts.bindAll(user);
        int steps = 0;
        while (texts.next())
            steps += verseWords(texts.text(0)).steps;
        return steps;
    }

    int rowCount() const { return rows_->rowCount(); }

private:
    // The figures into the labels, charts and table.
    void showFigures() {
        const int counts[] = {
            int(report_.passages.size()), report_.versesLearning, report_.versesMatured,
            report_.versesWaiting,        report_.versesDue,      report_.passagesDue};
        labels_[0]->setText(QStringLiteral("bench"));
        for (int i = 0; i < 6; ++i)
            labels_[i + 1]->setNum(counts[i]);
        QStringList days;
        QList<qreal> verses, passages;
        for (const ForecastDay &day : report_.forecast) {
            days << day.date.toString(u"ddd'<br>'d");
            verses << day.verses;
            passages << day.passages;
        }
        if (days_->categories() != days)
            days_->setCategories(days);
        setValues(forecastVerses_, verses);
        setValues(forecastPassages_, passages);
        forecastCount_->setRange(0, *std::max_element(verses.begin(), verses.end()));
        QStringList levels;
        QList<qreal> stages[4];
        for (int level = 0; level < ProgressReport::topVerseLevel; ++level) {
            levels << QString::number(level + 1);
            for (int stage = 0; stage < 4; ++stage)
                stages[stage] << (level == 0 ? (stage < 3 ? report_.levelOneByStage[stage] : 0)
                                             : (stage == 3 ? report_.versesByLevel[level] : 0));
        }
        if (levels_->categories() != levels)
            levels_->setCategories(levels);
        for (int stage = 0; stage < 4; ++stage)
            setValues(ladderSets_[stage], stages[stage]);
        ladderCount_->setRange(0, report_.versesByLevel[0] + report_.versesByLevel[1]);
        // The same rows are set in place (an item told what it has already does nothing).
        if (rows_->rowCount() == report_.passages.size()) {
            for (int row = 0; row < rows_->rowCount(); ++row) {
                const PassageProgress &passage = report_.passages[row];
                rows_->item(row, 0)->setText(passage.range);
                rows_->item(row, 2)->setText(QString::number(passage.level));
                rows_->item(row, 3)->setText(passage.askableFrom);
            }
            return;
        }
        rows_->setRowCount(0);
        for (const PassageProgress &passage : report_.passages)
            rows_->appendRow({new QStandardItem(passage.range), new QStandardItem(),
                              new QStandardItem(QString::number(passage.level)),
                              new QStandardItem(passage.askableFrom)});
    }

    // Only the values that changed, as a chart redraws least.
    static void setValues(QBarSet *set, const QList<qreal> &values) {
        if (set->count() != values.size()) {
            set->remove(0, set->count());
            set->append(values);
            return;
        }
        for (int at = 0; at < values.size(); ++at)
            if (set->at(at) != values[at])
                set->replace(at, values[at]);
    }

    Database &db_;
    ProgressReport report_;
    QLabel *labels_[7];
    QBarSeries *forecast_ = new QBarSeries;
    QBarSet *forecastVerses_ = barSet(forecast_), *forecastPassages_ = barSet(forecast_);
    QBarCategoryAxis *days_ = new QBarCategoryAxis;
    QValueAxis *forecastCount_ = new QValueAxis;
    QStackedBarSeries *ladder_ = new QStackedBarSeries;
    QBarSet *ladderSets_[4] = {barSet(ladder_), barSet(ladder_), barSet(ladder_), barSet(ladder_)};
    QBarCategoryAxis *levels_ = new QBarCategoryAxis;
    QValueAxis *ladderCount_ = new QValueAxis;
    QStandardItemModel *rows_ = new QStandardItemModel(0, 4, this);
};

// A learner at the quiz, who starts it a day after the last time and answers the first page
// right: the first passage, Genesis, has verses due again by then.
class Learner {
public:
    Learner(Database &db, qint64 user) : user_(user), quiz_(db, clock_) {}

    // What the page wrote.
    PassageWritten judgePage() {
        do {
            clock_.set(clock_.now().addDays(1));
            quiz_.start(user_);
        } while (quiz_.makeQuestion() == emptyPage());
        QList<BlankAnswer> answers;
        for (const Blank &blank : quiz_.state().blanks)
            answers.append({blank.verseId, blank.expected, blank.expected});
        quiz_.submit(answers);
        return quiz_.state().written;
    }

private:
    qint64 user_;
    FixedClock clock_{QDateTime::currentDateTime()};
    Quiz quiz_;
};

double timed(const std::function<void()> &work) {
    QElapsedTimer timer;
    timer.start();
    work();
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
    {
        Database db(home.path());
        wholeBible(db, 1);
        tenThousand(db, 2);
    }
    MessageBoxDialogs dialogs;
    SystemClock clock;
    SystemDesktop desktop;
    Application app(dialogs, clock, desktop);
    if (!app.Main())
        return 1;
    waitUntilDrawn(programWindow("Users"));
    const auto open = [&](qint64 user) {
        return [&app, user] {
            app.showProgress(QStringLiteral("bench"), user);
            waitUntilDrawn(programWindow("Progress"));
        };
    };
    const double once = timed(open(1));
    auto *window = static_cast<ProgressWindow *>(programWindow("Progress"));
    hideAndSettle(window);
    const QSize size = window->size();
    FloorWindow floor(app.dbConn(), size);
    const WindowContext context{app.dbConn(), dialogs, clock};

    const int runs = 15, firstRuns = 9;
    std::printf("the progress window until drawn, median of %d (least-most)\n", runs);
    std::printf("  %-36s %8.2f ms\n", "the run's first window, whole Bible", once);
    {
        floor.setFigures(progressReport(app.dbConn(), clock, 1));
        std::vector<double> progress, floors;
        for (int run = -1; run < firstRuns; ++run) {
            for (int turn = 0; turn < 2; ++turn) {
                const bool floorTurn = (turn + run + 1) % 2 == 1;
                app.dbConn().execute("PRAGMA shrink_memory");
                std::unique_ptr<QWidget> fresh;
                const double ms = timed([&] {
                    if (floorTurn) {
                        auto *shown = new FloorWindow(app.dbConn(), size);
                        fresh.reset(shown);
                        shown->setFigures(floor.figures());
                        shown->measure(1);
                        shown->fill(1);
                    } else {
                        auto *shown = new ProgressWindow(context);
                        fresh.reset(shown);
                        shown->resize(size);
                        shown->showUser(QStringLiteral("bench"), 1);
                    }
                    fresh->show();
                    waitUntilDrawn(fresh.get());
                });
                hideAndSettle(fresh.get());
                if (run >= 0)
                    (floorTurn ? floors : progress).push_back(ms);
            }
        }
        std::printf("first opening, whole Bible (median of %d):\n", firstRuns);
        printFigure("progress window", progress);
        printFigure("floor", floors);
        printFigure("progress window / floor, run by run", runByRun(progress, floors), "  ");
    }
    struct Kind {
        const char *name;
        qint64 user;
        bool refresh;
    };
    Learner learner(app.dbConn(), 1);
    for (const Kind &kind : {Kind{"whole Bible at level 1, opening", 1, false},
                             Kind{"whole Bible at level 1, refresh", 1, true},
                             Kind{"10,000 passages, opening", 2, false}}) {
        floor.setFigures(progressReport(app.dbConn(), clock, kind.user));
        std::vector<double> progress, floors;
        for (int run = -1; run < runs; ++run) { // the first warms up
            for (int turn = 0; turn < 2; ++turn) {
                const bool floorTurn = (turn + run + 1) % 2 == 1;
                QWidget *shown = floorTurn ? static_cast<QWidget *>(&floor) : window;
                hideAndSettle(floorTurn ? window : static_cast<QWidget *>(&floor));
                double ms = 0;
                if (kind.refresh) {
                    if (!shown->isVisible())
                        (floorTurn ? std::function<void()>([&] {
                            floor.fill(kind.user);
                            floor.show();
                            waitUntilDrawn(&floor);
                        })
                                   : open(kind.user))();
                    drawnAfterChange();
                    // A page judged, told to the window as the quiz tells it.
                    const PassageWritten written = learner.judgePage();
                    if (floorTurn)
                        floor.setFigures(progressReport(app.dbConn(), clock, kind.user));
                    else
                        window->refreshSoon(written);
                    ms = timed([&] {
                        if (floorTurn)
                            floor.fillAfterPage(written.passageId);
                        else
                            window->refresh();
                        drawnAfterChange();
                    });
                } else {
                    hideAndSettle(shown);
                    ms = timed(floorTurn ? std::function<void()>([&] {
                        floor.fill(kind.user);
                        floor.show();
                        waitUntilDrawn(&floor);
                    })
                                         : open(kind.user));
                }
                if (run >= 0)
                    (floorTurn ? floors : progress).push_back(ms);
            }
        }
        const auto *table = window->findChild<QTableView *>(QStringLiteral("passageTable"));
        if (table->model()->rowCount() != floor.rowCount())
            qFatal("the floor shows other passages");
        const ProgressReport now = progressReport(app.dbConn(), clock, kind.user);
        if (window->findChild<QLabel *>(QStringLiteral("versesLearning"))->text().toInt() !=
                now.versesLearning ||
            window->findChild<QLabel *>(QStringLiteral("versesMatured"))->text().toInt() !=
                now.versesMatured)
            qFatal("the window shows figures the file no longer holds");
        std::printf("%s:\n", kind.name);
        printFigure("progress window", progress);
        printFigure("floor", floors);
        printFigure("progress window / floor, run by run", runByRun(progress, floors), "  ");
    }
    app.ExitProgram();
    return 0;
}
