// Start Learning until the first page is on screen, against the floor of a bare web view
// given the same page the same way: a small document set as its html, the body replaced by
// script once it has loaded with the page's first screenful (as much as the program sends
// at once), then one more script asking for blank 1, then the frame drawn (benchquiz.h says
// how). Both clocks start with a first window already up, so only the
// quiz's own cost is timed; the web engine's start-up dominates, so every sample is a fresh
// process, the kinds taken in turn. Two pages: Genesis 1:1-3, and the whole book of Psalms
// asked whole (2,461 verses, 3,225 blanks).
//   versekeep  from Application::startQuiz until blank 1 of its page answers and is drawn
//   bare       from making a QWebEngineView until blank 1 of the same page answers and is drawn
// Each process then shows three more pages (the quiz answered right; the bare view given
// the page again) and sums over itself and every process it started, the web engine's
// included: the peak resident memory (VmHWM) of each, and the proportional set size
// (Pss, shared pages split among their users) at that moment.
//   cmake -S . -B build-bench -G Ninja -DVERSEKEEP_BENCH=ON
//   ninja -C build-bench bench_quizstart versekeep_bible_db
//   export QTWEBENGINE_DISABLE_SANDBOX=1 QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu
//   xvfb-run -a -s "-screen 0 1600x1200x24"
//     build-bench/bench/bench_quizstart build-bench/tests/data/bible.db [RUNS]
#include "benchhome.h"
#include "benchquiz.h"

#include "app/application.h"
#include "core/clock.h"
#include "gui/desktop.h"
#include "core/settings.h"
#include "db/database.h"
#include "store/quiz.h"
#include "store/passages.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QMultiHash>
#include <QProcess>
#include <QTest>
#include <cstdio>
#include <map>
#include <memory>
#include <unistd.h>

namespace {
// Genesis 1:1-3, and the whole book of Psalms.
const qint64 users[] = {1, 2};

struct Sample {
    double ms = 0;
    double peakMb = 0;
    double pssMb = 0;
    int processes = 0;
};

// A number from a "Name: value kB" line of a /proc file; 0 when the process has gone.
qint64 procField(const QString &path, const QByteArray &name) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : file.readAll().split('\n'))
        if (line.startsWith(name))
            return line.mid(name.size()).simplified().split(' ').value(0).toLongLong();
    return 0;
}

// This process and all its descendants: the web engine's zygote forks the renderers.
Sample treeMemory() {
    QMultiHash<qint64, qint64> children;
    for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool number = false;
        const qint64 pid = entry.toLongLong(&number);
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        if (!number || !stat.open(QIODevice::ReadOnly))
            continue;
        // "pid (name) state ppid ...": the name may hold spaces and brackets.
        const QByteArray line = stat.readAll();
        children.insert(line.mid(line.lastIndexOf(')') + 2).split(' ').value(1).toLongLong(), pid);
    }
    Sample memory;
    QList<qint64> tree{getpid()};
    for (qsizetype i = 0; i < tree.size(); ++i) {
        const QString dir = QStringLiteral("/proc/%1/").arg(tree[i]);
        memory.peakMb += procField(dir + "status", "VmHWM:") / 1024.0;
        memory.pssMb += procField(dir + "smaps_rollup", "Pss:") / 1024.0;
        tree += children.values(tree[i]);
    }
    memory.processes = int(tree.size());
    return memory;
}

void report(qint64 shownNs) {
    const Sample memory = treeMemory();
    std::printf("%.3f %.1f %.1f %d\n", shownNs / 1e6, memory.peakMb, memory.pssMb,
                memory.processes);
    std::fflush(stdout);
}

void waitForFirstWindow() {
    for (QWidget *window : QApplication::topLevelWidgets())
        if (window->isVisible() && QTest::qWaitForWindowExposed(window))
            return;
    qFatal("no window on screen");
}

int versekeepChild(qint64 user) {
    FailingDialogs dialogs;
    SystemClock clock;
    SystemDesktop desktop;
    Application app(dialogs, clock, desktop);
    if (!app.Main())
        return 1;
    waitForFirstWindow();
    QEventLoop loop;
    qint64 shown = 0;
    QElapsedTimer timer;
    timer.start();
    app.startQuiz(QStringLiteral("bench"), user);
    Quizzing *quiz = quizWindow();
    QWebEngineView *view = webView(quiz);
    // Connected after the window's own handler, which shows the page: asked after it.
    QObject::connect(
        view->page(), &QWebEnginePage::loadFinished, view,
        [&] {
            whenFreshPage(view->page(), [&] {
                whenDrawn(view, [&] {
                    shown = timer.nsecsElapsed();
                    loop.quit();
                });
            });
        },
        Qt::SingleShotConnection);
    loop.exec();
    for (int i = 0; i < 3; ++i) {
        fillBlanks(view->page());
        const int before = quiz->quiz().numCorrect;
        quiz->findChild<QPushButton *>(QStringLiteral("SubmitAnswer"))->click();
        waitForFreshPageDrawn(view, [&] { return quiz->quiz().numCorrect > before; });
    }
    report(shown);
    app.ExitProgram();
    return 0;
}

int bareChild(qint64 user) {
    // The page the quiz would show first, made before the clock starts.
    QString html;
    {
        Database db(Settings::databaseLocation().filePath());
        SystemClock clock;
        Quiz quiz(db, clock);
        quiz.start(user);
        html = quiz.makeQuestion();
    }
    QLabel standIn(QStringLiteral("the first window"));
    standIn.resize(260, 460);
    standIn.show();
    waitForFirstWindow();
    QEventLoop loop;
    qint64 shown = 0;
    QElapsedTimer timer;
    timer.start();
    // The context any web view shares and the fastest way to draw it, made as the program
    // makes them, on the clock as there.
    prepareQuestionPageGraphics();
    auto view = std::make_unique<QWebEngineView>();
    QWebEnginePage *page = view->page();
    QObject::connect(
        page, &QWebEnginePage::loadFinished, page,
        [&] {
            page->runJavaScript(showScript(html, view.get()));
            whenFreshPage(page, [&] {
                whenDrawn(view.get(), [&] {
                    shown = timer.nsecsElapsed();
                    loop.quit();
                });
            });
        },
        Qt::SingleShotConnection);
    page->setHtml(QStringLiteral(
        "<!DOCTYPE html><html><head><meta charset=\"utf-8\"></head><body></body></html>"));
    view->resize(758, 484); // the quiz window's page at its first size
    view->show();
    loop.exec();
    for (int i = 0; i < 3; ++i) {
        fillBlanks(page);
        page->runJavaScript(showScript(html, view.get()));
        waitForFreshPageDrawn(view.get());
    }
    report(shown);
    return 0;
}

} // namespace

int main(int argc, char *argv[]) {
    if (argc == 4 && qstrcmp(argv[1], "--child") == 0) {
        QApplication qtApp(argc, argv);
        const qint64 user = QByteArray(argv[3]).toLongLong();
        return qstrcmp(argv[2], "versekeep") == 0 ? versekeepChild(user) : bareChild(user);
    }
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s VERSE-DATABASE [RUNS]\n", argv[0]);
        return 2;
    }
    QCoreApplication app(argc, argv);
    const int runs = argc > 2 ? std::atoi(argv[2]) : 11;
    // Each learner with one due passage; the children find them through the private settings.
    const BenchHome home(argv[1]);
    {
        Database db(home.path());
        const SystemClock clock;
        const PassageRange ranges[] = {
            {{1, QStringLiteral("Genesis"), 1, 1}, {1, QStringLiteral("Genesis"), 1, 3}},
            {{19, QStringLiteral("Psalms"), 1, 1}, {19, QStringLiteral("Psalms"), 150, 6}}};
        for (const qint64 user : users) {
            Statement(db, "INSERT INTO Users (id, Name) VALUES (?, 'bench')").bindAll(user).run();
            const qint64 passage =
                addPassage(db, clock, ranges[user - 1], QStringLiteral("bench"), user);
            if (user == 2)
                Statement(db, "UPDATE Passages SET numVersestoAsk = numVerses + 1 WHERE id = ?")
                    .bindAll(passage)
                    .run();
        }
    }
    const QString self = QCoreApplication::applicationFilePath();
    const QStringList kinds{QStringLiteral("bare"), QStringLiteral("versekeep")};
    std::map<QString, std::vector<Sample>> samples;
    for (int run = 0; run < runs; ++run) {
        for (const qint64 user : users)
            for (const QString &kind : kinds) {
                // The pages a child answers would make the next child's passage not due
                // yet, its page empty: every child starts from the same scores.
                {
                    Database db(home.path());
                    Statement(db, "UPDATE PassageVerses SET verseScore = 0 WHERE passageID IN "
                                  "(SELECT id FROM Passages WHERE UserID = ?)")
                        .bindAll(user)
                        .run();
                    Statement(db, "UPDATE Passages SET passageScore = 0 WHERE UserID = ?")
                        .bindAll(user)
                        .run();
                }
                QProcess process;
                process.start(self, {QStringLiteral("--child"), kind, QString::number(user)});
                process.waitForFinished(180000);
                const QList<QByteArray> figures =
                    process.readAllStandardOutput().simplified().split(' ');
                if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0 ||
                    figures.size() != 4)
                    qFatal("the %s start failed:\n%s", qPrintable(kind),
                           process.readAllStandardError().constData());
                samples[kind + QString::number(user)].push_back(
                    {figures[0].toDouble(), figures[1].toDouble(), figures[2].toDouble(),
                     figures[3].toInt()});
            }
    }
    auto figureOf = [&](const QString &key, double Sample::*field) {
        std::vector<double> values;
        for (const Sample &sample : samples[key])
            values.push_back(sample.*field);
        return values;
    };
    std::printf("medians (least-most) of %d fresh processes of each, taken in turn\n", runs);
    for (const qint64 user : users) {
        std::printf("%s\n", user == 1 ? "Genesis 1:1-3" : "the book of Psalms, whole");
        const QString number = QString::number(user);
        for (const QString &kind : kinds) {
            printFigure(qPrintable(kind + ": first page drawn"), figureOf(kind + number, &Sample::ms));
            if (user == 1) {
                printFigure(qPrintable(kind + ": peak RSS sum"), figureOf(kind + number, &Sample::peakMb), " MB");
                printFigure(qPrintable(kind + ": Pss sum"), figureOf(kind + number, &Sample::pssMb), " MB");
            }
        }
        printFigure("versekeep / bare, run by run",
                    runByRun(figureOf("versekeep" + number, &Sample::ms),
                             figureOf("bare" + number, &Sample::ms)),
                    "  ");
    }
    return 0;
}
