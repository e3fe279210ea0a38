// Submit Answer until the next page is on screen, for a page of ten due verses, in one warm
// process: every blank filled right by script, then the clock runs from SubmitAnswer_Click
// until the page answers that blank 1 is there and empty, the page judged. Between samples
// the scores go back to 0, so every page stays due with all ten verses. Taken in turn with
//   floor  the same page shown again in the same view: the body replaced by script, then
//          the same question for blank 1
//   quiz   Quiz::submit and makeQuestion alone, on the same database: the judging, its
//          transaction and the next page's queries, without the web view
// The floor repaints no widget; the quiz also shows its new counts and moves the focus.
//   cmake -S . -B build-bench -G Ninja -DVERSEKEEP_BENCH=ON
//   ninja -C build-bench bench_quizsubmit versekeep_bible_db
//   export QTWEBENGINE_DISABLE_SANDBOX=1 QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu
//   xvfb-run -a build-bench/bench/bench_quizsubmit build-bench/tests/data/bible.db
#include "benchhome.h"
#include "benchquiz.h"

#include "app/application.h"
#include "core/clock.h"
#include "gui/desktop.h"
#include "db/database.h"
#include "store/quiz.h"
#include "store/passages.h"

#include <QElapsedTimer>
#include <QSet>
#include <cstdio>

namespace {
const qint64 user = 1;

int versesOnPage(const Quiz &quiz) {
    QSet<qint64> verses;
    for (const Blank &blank : quiz.state().blanks)
        verses.insert(blank.verseId);
    return int(verses.size());
}
} // namespace

int main(int argc, char *argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s VERSE-DATABASE\n", argv[0]);
        return 2;
    }
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication qtApp(argc, argv);
    const BenchHome home(argv[1]);
    FixedClock clock(QDateTime::currentDateTime());
    qint64 passage = 0;
    {
        // Matthew 5:3-12, all ten verses asked.
        Database db(home.path());
        Statement(db, "INSERT INTO Users (id, Name) VALUES (?, 'bench')").bindAll(user).run();
        passage = addPassage(
            db, clock,
            {{40, QStringLiteral("Matthew"), 5, 3}, {40, QStringLiteral("Matthew"), 5, 12}},
            QStringLiteral("bench"), user);
        Statement(db, "UPDATE Passages SET numVersestoAsk = numVerses + 1 WHERE id = ?")
            .bindAll(passage)
            .run();
    }
    FailingDialogs dialogs;
    SystemDesktop desktop;
    Application app(dialogs, clock, desktop);
    if (!app.Main())
        return 1;
    Database &db = app.dbConn();
    auto reset = [&] {
        Statement(db, "UPDATE PassageVerses SET verseScore = 0 WHERE passageID = ?")
            .bindAll(passage)
            .run();
        Statement(db, "UPDATE Passages SET passageScore = 0 WHERE id = ?").bindAll(passage).run();
    };

    app.startQuiz(QStringLiteral("bench"), user);
    Quizzing *window = quizWindow();
    QWebEnginePage *page = webPage(window);
    {
        QEventLoop loop;
        QObject::connect(page, &QWebEnginePage::loadFinished, &loop, &QEventLoop::quit);
        loop.exec();
        waitForFreshPage(page);
    }
    Quiz core(db, clock);
    core.start(user);
    const QString html = core.makeQuestion();
    if (versesOnPage(window->quiz()) != 10 || versesOnPage(core) != 10)
        qFatal("the page does not hold ten due verses");

    QElapsedTimer timer;
    auto submit = [&] {
        reset();
        evaluate(page, fillBlanks);
        const int before = window->quiz().numCorrect;
        timer.start();
        submitAnswer(window);
        waitForFreshPage(page, [&] { return window->quiz().numCorrect > before; });
        const double ms = timer.nsecsElapsed() / 1e6;
        if (window->quiz().numCorrect != before + 1 || versesOnPage(window->quiz()) != 10)
            qFatal("the next page does not hold ten due verses");
        return ms;
    };
    auto showAgain = [&] {
        evaluate(page, fillBlanks);
        timer.start();
        page->runJavaScript(showScript(html));
        waitForFreshPage(page);
        return timer.nsecsElapsed() / 1e6;
    };
    auto quizAlone = [&] {
        reset();
        QList<BlankAnswer> answers;
        for (const Blank &blank : core.state().blanks)
            answers.append({blank.verseId, blank.expected, blank.expected});
        timer.start();
        if (!core.submit(answers).pageRight)
            qFatal("a right page was judged wrong");
        core.makeQuestion();
        return timer.nsecsElapsed() / 1e6;
    };

    const int runs = 31;
    std::vector<double> submits, floors, quizzes;
    for (int run = -3; run < runs; ++run) { // the first three warm up
        const double s = submit(), f = showAgain(), q = quizAlone();
        if (run >= 0) {
            submits.push_back(s);
            floors.push_back(f);
            quizzes.push_back(q);
        }
    }
    std::printf("median of %d, ms, a page of 10 due verses with %d blanks\n", runs,
                int(window->quiz().state().blanks.size()));
    std::printf("submit until the next page:  %8.2f   (min %.2f, max %.2f)\n", median(submits),
                *std::min_element(submits.begin(), submits.end()),
                *std::max_element(submits.begin(), submits.end()));
    std::printf("floor, the page shown again: %8.2f\n", median(floors));
    std::printf("quiz alone, submit and next: %8.2f\n", median(quizzes));
    std::printf("submit / floor:              %8.2f\n", median(submits) / median(floors));
    app.ExitProgram();
    return 0;
}
