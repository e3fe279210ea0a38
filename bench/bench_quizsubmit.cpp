// Submit Answer until the next page is on screen, in one warm process, for pages of three
// sizes: Matthew 5:3-12 (10 verses), Psalm 119 (176) and the book of Psalms (2,461), each
// the only due passage of its learner and asked whole, so that the next page is the same
// passage again. Every blank is filled right by script, the window settles, then the clock
// runs from Ctrl+Enter in the page until the page, judged and stored, answers that blank 1 of
// the next page is there and empty, and that page is drawn (benchquiz.h says how). Between
// samples the scores go back to 0, so every page stays due and whole. Taken in turn, run by
// run, with a floor for each size that does the same observable work by the most direct means:
//   floor     every blank read back in one script by the ids' own case, Quiz::submit and
//             makeQuestion on the same database (the judging, its transaction and the next
//             page's queries), the body replaced by script with that page's first
//             screenful (as much as the program sends at once), the same question
//             for blank 1, and the frame drawn
//   progress  the 10-verse Submit with the progress window open on a learner whose other
//             passages, not due, hold the whole Bible at verse level 1 (its worst case)
// "core" is the floor's Quiz::submit and makeQuestion alone.
//   cmake -S . -B build-bench -G Ninja -DVERSEKEEP_BENCH=ON
//   ninja -C build-bench bench_quizsubmit versekeep_bible_db
//   export QTWEBENGINE_DISABLE_SANDBOX=1 QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu
//   xvfb-run -a -s "-screen 0 1600x1200x24"
//     build-bench/bench/bench_quizsubmit build-bench/tests/data/bible.db [RUNS]
// QT_QUICK_BACKEND=software or QSG_RHI_BACKEND=opengl overrides the program's choice of how
// the page is drawn.
#include "benchhome.h"
#include "benchquiz.h"

#include "app/application.h"
#include "core/clock.h"
#include "db/database.h"
#include "gui/desktop.h"
#include "store/passages.h"
#include "store/quiz.h"

#include <QQuickWindow>
#include <QTest>
#include <map>

namespace {
struct Learner {
    qint64 id;
    PassageRange range;
};

const Learner tenVerses{1, {{40, "Matthew", 5, 3}, {40, "Matthew", 5, 12}}};
const Learner psalm119{2, {{19, "Psalms", 119, 1}, {19, "Psalms", 119, 176}}};
const Learner psalms{3, {{19, "Psalms", 1, 1}, {19, "Psalms", 150, 6}}};

void addLearner(Database &db, const Clock &clock, const Learner &learner) {
    Statement(db, "INSERT INTO Users (id, Name) VALUES (?, 'bench')").bindAll(learner.id).run();
    const qint64 passage = addPassage(db, clock, learner.range, QStringLiteral("bench"), learner.id);
    Statement(db, "UPDATE Passages SET numVersestoAsk = numVerses + 1 WHERE id = ?")
        .bindAll(passage)
        .run();
}

// A passage a book, none due, every verse at verse level 1.
void addWholeBible(Database &db, qint64 user) {
    Transaction transaction(db);
    Statement(db, "INSERT INTO Passages (startbook, startchapter, startverse, endbook, "
                  "endchapter, endverse, username, UserID, scheduledate, numVersestoAsk, "
                  "numVerses) SELECT Book, 1, 1, Book, 1, 1, 'bench', ?, '2999-01-01 00:00:00', "
                  "count(*) + 1, count(*) FROM kjv GROUP BY BookNum")
        .bindAll(user)
        .run();
    Statement(db, "INSERT INTO PassageVerses (passageID, VerseBook, verseChapter, VerseNum, "
                  "WordSizeLevel, ScheduleDate) SELECT p.id, k.BookNum, k.Chapter, k.Verse, "
                  "1 + k.Verse % 8, '2999-01-01 00:00:00' FROM kjv k JOIN Passages p "
                  "ON p.startbook = k.Book AND p.UserID = ? AND p.scheduledate LIKE '2999%'")
        .bindAll(user)
        .run();
    transaction.commit();
}

enum class How { Submit, Floor };

struct Kind {
    const char *name;
    const Learner *learner;
    How how;
    bool progress = false;
    std::vector<double> figure{};
    std::vector<double> core{};
};
} // namespace

int main(int argc, char *argv[]) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s VERSE-DATABASE [RUNS]\n", argv[0]);
        return 2;
    }
    QApplication qtApp(argc, argv);
    const BenchHome home(argv[1]);
    const int runs = argc > 2 ? std::atoi(argv[2]) : 9;
    FixedClock clock(QDateTime::currentDateTime());
    {
        Database db(home.path());
        for (const Learner *learner : {&tenVerses, &psalm119, &psalms})
            addLearner(db, clock, *learner);
        addWholeBible(db, tenVerses.id);
    }
    FailingDialogs dialogs;
    SystemDesktop desktop;
    Application app(dialogs, clock, desktop);
    if (!app.Main())
        return 1;
    Database &db = app.dbConn();
    auto reset = [&](qint64 user) {
        Statement(db, "UPDATE PassageVerses SET verseScore = 0 WHERE passageID IN "
                      "(SELECT id FROM Passages WHERE UserID = ?)")
            .bindAll(user)
            .run();
        Statement(db, "UPDATE Passages SET passageScore = 0 WHERE UserID = ?").bindAll(user).run();
    };
    std::map<qint64, Quiz> cores;
    for (const Learner *learner : {&tenVerses, &psalm119, &psalms}) {
        Quiz &core = cores.try_emplace(learner->id, db, clock).first->second;
        core.start(learner->id);
        core.makeQuestion();
    }

    Quizzing *window = nullptr;
    qint64 shownUser = 0;
    // The learner's quiz on screen, its page filled right, the progress window as asked.
    auto prepare = [&](const Kind &kind) {
        const qint64 user = kind.learner->id;
        reset(user);
        if (shownUser != user) {
            app.startQuiz(QStringLiteral("bench"), user);
            window = quizWindow();
            window->activateWindow();
            shownUser = user;
            waitForFreshPageDrawn(webView(window), [&] {
                return window->quiz().state().currentPassageID != 0 &&
                       window->quiz().state().userId == user;
            });
        }
        if (kind.progress)
            app.showProgress(QStringLiteral("bench"), user);
        for (QWidget *other : QApplication::topLevelWidgets())
            if (other->objectName() == QLatin1String("Progress") && !kind.progress)
                other->hide();
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window))
            qFatal("the quiz window is not active");
        webView(window)->setFocus();
        fillBlanks(webPage(window));
        settle();
    };
    auto submit = [&](Kind &kind) {
        QWebEngineView *view = webView(window);
        const int before = window->quiz().numCorrect;
        QElapsedTimer timer;
        timer.start();
        QTest::keyClick(view->focusProxy(), Qt::Key_Return, Qt::ControlModifier);
        waitForFreshPageDrawn(view, [&] { return window->quiz().numCorrect > before; });
        kind.figure.push_back(elapsedMs(timer));
        if (window->quiz().numCorrect != before + 1)
            qFatal("the page was not judged right");
    };
    auto floor = [&](Kind &kind) {
        Quiz &core = cores.at(kind.learner->id);
        QWebEngineView *view = webView(window);
        QElapsedTimer timer;
        timer.start();
        QList<BlankAnswer> answers;
        const QByteArray rows = evaluate(view->page(), readBlanks).toString().toUtf8();
        for (const QJsonValue &row : QJsonDocument::fromJson(rows).array()) {
            const QJsonArray values = row.toArray();
            answers.append({values[0].toString().toLongLong(), values[1].toString(),
                            values[2].toString()});
        }
        const double coreStart = elapsedMs(timer);
        if (!core.submit(answers).pageRight)
            qFatal("a right page was judged wrong");
        const QString html = core.makeQuestion();
        kind.core.push_back(elapsedMs(timer) - coreStart);
        view->page()->runJavaScript(showScript(html, view));
        waitForFreshPageDrawn(view);
        kind.figure.push_back(elapsedMs(timer));
    };

    std::vector<Kind> kinds{
        {"10 verses: Submit", &tenVerses, How::Submit},
        {"10 verses: floor", &tenVerses, How::Floor},
        {"10 verses: Submit, the progress window open", &tenVerses, How::Submit, true},
        {"Psalm 119: Submit", &psalm119, How::Submit},
        {"Psalm 119: floor", &psalm119, How::Floor},
        {"Psalms: Submit", &psalms, How::Submit},
        {"Psalms: floor", &psalms, How::Floor},
    };
    for (int run = -1; run < runs; ++run) // the first warms up
        for (Kind &kind : kinds) {
            prepare(kind);
            if (kind.how == How::Submit)
                submit(kind);
            else
                floor(kind);
            if (run < 0)
                kind.figure.clear(), kind.core.clear();
        }

    std::printf("Submit until the next page is drawn: medians (least-most) of %d runs, Qt Quick "
                "drawing %s\n",
                runs, QQuickWindow::sceneGraphBackend() == QLatin1String("software") ? "in software"
                                                                              : "through GL");
    for (const Kind &kind : kinds) {
        printFigure(kind.name, kind.figure);
        if (!kind.core.empty())
            printFigure("  of which Quiz::submit and makeQuestion", kind.core);
    }
    const auto ratio = [&](const char *name, int over, int under) {
        printFigure(name, runByRun(kinds[over].figure, kinds[under].figure), "  ");
    };
    ratio("10 verses: Submit / floor, run by run", 0, 1);
    ratio("10 verses: progress open / not, run by run", 2, 0);
    ratio("Psalm 119: Submit / floor, run by run", 3, 4);
    ratio("Psalm 119 / 10 verses, Submit, run by run", 3, 0);
    ratio("Psalms: Submit / floor, run by run", 5, 6);
    app.ExitProgram();
    return 0;
}
