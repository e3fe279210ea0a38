// Start Learning until the first page is on screen, against the floor of a bare web view
// given the same page the same way: a small document set as its html, the body replaced
// by script once it has loaded, then one more script asking for blank 1. Both clocks start
// with a first window already up, so only the quiz's own cost is timed; the web engine's
// start-up dominates, so every sample is a fresh process, the two kinds taken in turn.
//   versekeep  from Application::startQuiz until blank 1 of its page answers
//   bare       from making a QWebEngineView until blank 1 of the same page answers
// Each process then shows three more pages (the quiz answered right; the bare view given
// the page again) and sums over itself and every process it started, the web engine's
// included: the peak resident memory (VmHWM) of each, and the proportional set size
// (Pss, shared pages split among their users) at that moment.
//   cmake -S . -B build-bench -G Ninja -DVERSEKEEP_BENCH=ON
//   ninja -C build-bench bench_quizstart versekeep_bible_db
//   export QTWEBENGINE_DISABLE_SANDBOX=1 QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu
//   xvfb-run -a build-bench/bench/bench_quizstart build-bench/tests/data/bible.db
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
const qint64 user = 1;

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

int versekeepChild() {
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
    QWebEnginePage *page = webPage(quiz);
    // Connected after the window's own handler, which shows the page: asked after it.
    QObject::connect(
        page, &QWebEnginePage::loadFinished, page,
        [&] {
            whenFreshPage(page, [&] {
                shown = timer.nsecsElapsed();
                loop.quit();
            });
        },
        Qt::SingleShotConnection);
    loop.exec();
    for (int i = 0; i < 3; ++i) {
        evaluate(page, fillBlanks);
        const int before = quiz->quiz().numCorrect;
        submitAnswer(quiz);
        waitForFreshPage(page, [&] { return quiz->quiz().numCorrect > before; });
    }
    report(shown);
    app.ExitProgram();
    return 0;
}

int bareChild() {
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
    auto view = std::make_unique<QWebEngineView>();
    QWebEnginePage *page = view->page();
    QObject::connect(
        page, &QWebEnginePage::loadFinished, page,
        [&] {
            page->runJavaScript(showScript(html));
            whenFreshPage(page, [&] {
                shown = timer.nsecsElapsed();
                loop.quit();
            });
        },
        Qt::SingleShotConnection);
    page->setHtml(QStringLiteral(
        "<!DOCTYPE html><html><head><meta charset=\"utf-8\"></head><body></body></html>"));
    view->resize(758, 484); // the quiz window's page at its first size
    view->show();
    loop.exec();
    for (int i = 0; i < 3; ++i) {
        evaluate(page, fillBlanks);
        page->runJavaScript(showScript(html));
        waitForFreshPage(page);
    }
    report(shown);
    return 0;
}

} // namespace

int main(int argc, char *argv[]) {
    if (argc == 3 && qstrcmp(argv[1], "--child") == 0) {
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
        QApplication qtApp(argc, argv);
        return qstrcmp(argv[2], "versekeep") == 0 ? versekeepChild() : bareChild();
    }
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s VERSE-DATABASE\n", argv[0]);
        return 2;
    }
    QCoreApplication app(argc, argv);
    // One user with one due passage; the children find it through the private settings.
    const BenchHome home(argv[1]);
    {
        Database db(home.path());
        Statement(db, "INSERT INTO Users (id, Name) VALUES (?, 'bench')").bindAll(user).run();
        const SystemClock clock;
        addPassage(db, clock,
                   {{1, QStringLiteral("Genesis"), 1, 1}, {1, QStringLiteral("Genesis"), 1, 3}},
                   QStringLiteral("bench"), user);
    }
    const QString self = QCoreApplication::applicationFilePath();
    const QStringList kinds{QStringLiteral("bare"), QStringLiteral("versekeep")};
    const int runs = 11;
    std::map<QString, std::vector<Sample>> samples;
    for (int run = 0; run < runs; ++run) {
        for (const QString &kind : kinds) {
            QProcess process;
            process.start(self, {QStringLiteral("--child"), kind});
            process.waitForFinished(60000);
            const QList<QByteArray> figures =
                process.readAllStandardOutput().simplified().split(' ');
            if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0 ||
                figures.size() != 4)
                qFatal("the %s start failed:\n%s", qPrintable(kind),
                       process.readAllStandardError().constData());
            samples[kind].push_back({figures[0].toDouble(), figures[1].toDouble(),
                                     figures[2].toDouble(), figures[3].toInt()});
        }
    }
    auto medianOf = [&](const QString &kind, double Sample::*field) {
        std::vector<double> values;
        for (const Sample &sample : samples[kind])
            values.push_back(sample.*field);
        return median(values);
    };
    std::printf("medians of %d fresh processes of each, taken in turn\n", runs);
    std::printf("%-20s %14s %18s %16s %10s\n", "", "first page ms", "peak RSS sum MB", "Pss sum MB",
                "processes");
    for (const QString &kind : kinds)
        std::printf("%-20s %14.1f %18.1f %16.1f %10d\n", qPrintable(kind),
                    medianOf(kind, &Sample::ms), medianOf(kind, &Sample::peakMb),
                    medianOf(kind, &Sample::pssMb), samples[kind].front().processes);
    std::printf("%-20s %14.2f %18.2f %16.2f\n", "versekeep / bare",
                medianOf(kinds[1], &Sample::ms) / medianOf(kinds[0], &Sample::ms),
                medianOf(kinds[1], &Sample::peakMb) / medianOf(kinds[0], &Sample::peakMb),
                medianOf(kinds[1], &Sample::pssMb) / medianOf(kinds[0], &Sample::pssMb));
    return 0;
}
