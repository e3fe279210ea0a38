// Opening the progress window for a user whose passages hold the whole Bible: the median
// time from the call until the window has painted, against the report alone and against
// the floor, the report's queries stepped through with nothing done with their rows. Every
// verse costs its text, read to know whether the quiz would ask it; one at level 1 also its
// word lengths, so two users: one whose learning went on (a verse in ten back at level 1),
// and one with every verse at level 1.
//   cmake -S . -B build-bench -G Ninja -DVERSEKEEP_BENCH=ON && ninja -C build-bench bench_progress
//   xvfb-run -a build-bench/bench/bench_progress build-bench/tests/data/bible.db
#include "benchhome.h"

#include "app/application.h"
#include "core/clock.h"
#include "gui/desktop.h"
#include "gui/messageboxdialogs.h"
#include "db/database.h"
#include "store/progressreport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <functional>

namespace {
// One passage a book, every verse let in; one verse in levelOneEvery back at verse level 1,
// partway up its word-size ladder, the rest on levels 2 to 19. The dates spread over 20 days.
int wholeBible(Database &db, qint64 user, int levelOneEvery) {
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
    Statement(db, "UPDATE Passages SET endverse = (SELECT max(Verse) FROM kjv "
                  "WHERE BookNum = Passages.id % 1000 AND Chapter = Passages.endchapter) "
                  "WHERE UserID = ?")
        .bindAll(user)
        .run();
    Statement(db, "INSERT INTO PassageVerses (passageID, VerseBook, verseChapter, VerseNum, "
                  "verseLevel, WordSizeLevel, ScheduleDate) SELECT ? * 1000 + BookNum, BookNum, "
                  "Chapter, Verse, CASE WHEN Verse % ? = 0 THEN 1 ELSE 2 + Chapter % 18 END, "
                  "1 + Verse % 8, datetime('now', 'localtime', '+' || (Verse % 20) || ' days') "
                  "FROM kjv")
        .bindAll(user, levelOneEvery)
        .run();
    transaction.commit();
    Statement verses(db, "SELECT count(*) FROM PassageVerses v JOIN Passages p "
                         "ON p.id = v.passageID WHERE p.UserID = ?");
    verses.bindAll(user).next();
    return int(verses.integer(0));
}

// The statements progressReport runs, as it has them.
void queriesAlone(Database &db, qint64 user) {
    Statement passages(db, "SELECT id, startbook, startchapter, startverse, endbook, endchapter, "
                           "endverse, numVersestoAsk, numVerses, passagelevel, scheduledate "
                           "FROM Passages WHERE UserID = ? ORDER BY id");
    Statement verses(db, "SELECT v.VerseBook, v.verseChapter, v.VerseNum, v.verseLevel, "
                         "v.WordSizeLevel, v.ScheduleDate, v.minWordSize, (SELECT k.VerseText "
                         "FROM kjv k WHERE k.BookNum = v.VerseBook AND k.Chapter = "
                         "v.verseChapter AND k.Verse = v.VerseNum) "
                         "FROM PassageVerses v WHERE v.passageID = ? "
                         "ORDER BY v.VerseBook, v.verseChapter, v.VerseNum, v.id LIMIT ?");
    passages.bindAll(user);
    while (passages.next()) {
        verses.bindAll(passages.integer(0),
                       std::clamp(passages.integer(7), qint64(0), passages.integer(8)));
        while (verses.next()) {
        }
        verses.reset();
    }
    Statement all(db, "SELECT count(*) FROM PassageVerses WHERE passageID IN "
                      "(SELECT id FROM Passages WHERE UserID = ?)");
    all.bindAll(user).next();
}

QWidget *progressWindow() {
    for (QWidget *window : QApplication::topLevelWidgets())
        if (window->objectName() == QLatin1String("Progress"))
            return window;
    qFatal("no progress window");
}

// The median of 15 runs; what comes before each run is not timed.
double medianOf15(const std::function<void()> &run, const std::function<void()> &before = {}) {
    std::vector<double> samples;
    QElapsedTimer timer;
    for (int i = 0; i < 15; ++i) {
        if (before)
            before();
        timer.start();
        run();
        samples.push_back(timer.nsecsElapsed() / 1e6);
    }
    return median(samples);
}
} // namespace

int main(int argc, char *argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s VERSE-DATABASE\n", argv[0]);
        return 2;
    }
    QApplication qtApp(argc, argv);
    const BenchHome home(argv[1]);
    const std::pair<const char *, int> users[] = {
        {"one verse in ten back at level 1", 10},
        {"every verse at level 1, the worst case", 1},
    };
    int verses = 0;
    {
        Database db(home.path());
        for (qint64 user = 1; user <= 2; ++user)
            verses = wholeBible(db, user, users[user - 1].second);
    }
    MessageBoxDialogs dialogs;
    SystemClock clock;
    SystemDesktop desktop;
    Application app(dialogs, clock, desktop);
    if (!app.Main())
        return 1;
    std::printf("the progress window for %d verses in 66 passages, all let in (ms)\n", verses);
    for (qint64 user = 1; user <= 2; ++user) {
        QElapsedTimer timer;
        timer.start();
        app.showProgress(QStringLiteral("bench"), user);
        progressWindow()->repaint();
        const double first = timer.nsecsElapsed() / 1e6;
        const double opening = medianOf15(
            [&] {
                app.showProgress(QStringLiteral("bench"), user);
                progressWindow()->repaint();
            },
            [] {
                progressWindow()->hide();
                QCoreApplication::processEvents();
            });
        const double report = medianOf15([&] { progressReport(app.dbConn(), clock, user); });
        const double floor = medianOf15([&] { queriesAlone(app.dbConn(), user); });
        std::printf("%s:\n", users[user - 1].first);
        if (user == 1)
            std::printf("  first opening, making the window: %8.2f\n", first);
        std::printf("  opening (median of 15):           %8.2f\n"
                    "  the report alone:                 %8.2f\n"
                    "  its queries alone, the floor:     %8.2f\n",
                    opening, report, floor);
    }
    app.ExitProgram();
    return 0;
}
