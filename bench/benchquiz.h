#pragma once

#include "benchwindow.h"

#include "gui/dialogs.h"
#include "gui/quiz/questionpage.h"
#include "gui/quiz/quizzing.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPushButton>
#include <QQuickWidget>
#include <QQuickWindow>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <functional>

// A benchmark answers no message box: one asking means the run went wrong.
class FailingDialogs : public Dialogs {
public:
    void errorReport(const Error &error) override { fail(error.reportText()); }
    bool confirm(const QString &text) override { fail(text); }
    void information(const QString &, const QString &text) override { fail(text); }
    void message(const QString &text) override { fail(text); }

private:
    [[noreturn]] static void fail(const QString &text) { qFatal("asked: %s", qPrintable(text)); }
};

inline Quizzing *quizWindow() {
    for (QWidget *window : QApplication::topLevelWidgets())
        if (auto *quiz = qobject_cast<Quizzing *>(window))
            return quiz;
    qFatal("no quiz window");
}

inline QWebEngineView *webView(Quizzing *quiz) {
    return quiz->findChild<QWebEngineView *>(QStringLiteral("questionctl"));
}

inline QWebEnginePage *webPage(Quizzing *quiz) { return webView(quiz)->page(); }

// Every blank's verse id, expected and typed text, read in one pass by the ids' own case,
// as one JSON text.
inline const QString readBlanks = QStringLiteral(
    "(function () { var rows = [], n = 1, blank; while ((blank = document.getElementById("
    "'blank' + n))) { rows.push([document.getElementById('verseid' + n).value,"
    " document.getElementById('answer' + n).value, blank.value]); ++n; }"
    " return JSON.stringify(rows); })()");

// What any program must show of a page before the learner sees it: its first screenful. The
// body is replaced by the page's rows up to the first to begin a screenful's characters in
// (as the program sends at once for a view of this size) and what follows its rows, the html
// passed as JSON.
inline QString showScript(const QString &html, const QWebEngineView *view) {
    const qsizetype end = html.lastIndexOf(u"</TABLE>");
    const qsizetype first = html.indexOf(u"<TR>");
    const qsizetype cut = first < 0 ? -1 : html.indexOf(u"<TR>", first + firstScreenful(
        view->width(), view->height(), view->zoomFactor()));
    const QString shown = cut < 0 || cut > end ? html : html.left(cut) + html.mid(end);
    return QStringLiteral("document.body.innerHTML = %1[0];")
        .arg(QString::fromUtf8(QJsonDocument(QJsonArray{shown}).toJson(QJsonDocument::Compact)));
}

inline QVariant evaluate(QWebEnginePage *page, const QString &script) {
    QEventLoop loop;
    QVariant result;
    page->runJavaScript(script, [&](const QVariant &value) {
        result = value;
        loop.quit();
    });
    loop.exec();
    return result;
}

inline bool always() { return true; }

// Asks the page, one round trip after another, until blank 1 is there and still empty (a
// page just shown, not the filled one before it) and ready() agrees; then calls done. The
// engine runs scripts in the order they were asked for, so a question asked after a show
// sees its page.
inline void whenFreshPage(QWebEnginePage *page, std::function<void()> done,
                          std::function<bool()> ready = always) {
    page->runJavaScript(
        QStringLiteral("(function () { var blank = document.getElementById('blank1');"
                       " return !!blank && blank.value === ''; })()"),
        [=](const QVariant &fresh) {
            if (fresh.toBool() && ready())
                done();
            else
                whenFreshPage(page, done, ready);
        });
}

// The page's next frame drawn, as benchwindow.h has it for a window: the view's scene renders
// a frame made after this call, the window's next pass paints the view and flushes it, then
// the display server sees it through.
inline void whenDrawn(QWebEngineView *view, std::function<void()> done) {
    class Watch : public QObject {
    public:
        Watch(QQuickWidget *scene, std::function<void()> done)
            : QObject(scene), done_(std::move(done)) {
            connect(scene->quickWindow(), &QQuickWindow::afterRendering, this,
                    [this] { rendered_ = true; }, Qt::DirectConnection);
            scene->installEventFilter(this);
        }
        bool eventFilter(QObject *, QEvent *event) override {
            if (event->type() == QEvent::Paint && rendered_ && !painted_) {
                painted_ = true;
                // Queued: it runs once the pass, flush included, is over.
                QMetaObject::invokeMethod(this, [this] {
                    seeThrough(static_cast<QWidget *>(parent())->window());
                    done_();
                    deleteLater();
                }, Qt::QueuedConnection);
            }
            return false;
        }

    private:
        std::function<void()> done_;
        bool rendered_ = false, painted_ = false;
    };
    auto *scene = qobject_cast<QQuickWidget *>(view->focusProxy());
    if (!scene)
        qFatal("the web view draws through no Qt Quick scene");
    new Watch(scene, std::move(done));
    // The page's frame may have come before its reply and been drawn already: one more
    // render, merged with any pending, ends the wait then. Unchanged, it draws nothing.
    scene->quickWindow()->update();
}

// Waits for what start() begins and calls back with when it is over.
inline void waitFor(const std::function<void(std::function<void()>)> &start) {
    QEventLoop loop;
    start([&] { loop.quit(); });
    loop.exec();
}

// The page replies that it is fresh (and ready() agrees), then its frame is drawn.
inline void waitForFreshPageDrawn(QWebEngineView *view, std::function<bool()> ready = always) {
    waitFor([&](std::function<void()> over) {
        whenFreshPage(view->page(), [view, over] { whenDrawn(view, over); }, ready);
    });
}

// Lets the windows settle: whatever was pending is drawn and timers that follow a page ran.
inline void settle(int milliseconds = 300) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
    QGuiApplication::sync();
}

// Every blank takes its own answer, so the page is judged right; a page still coming in part
// by part is waited for whole first, as a learner's typing would wait for it.
inline void fillBlanks(QWebEnginePage *page) {
    while (evaluate(page, QStringLiteral("!!(window.versekeep && versekeep.coming)")).toBool())
        settle(20);
    evaluate(page, QStringLiteral(
        "(function () { var n = 1, blank; while ((blank = document.getElementById('blank' + n)))"
        " { blank.value = document.getElementById('answer' + n).value; ++n; } return n - 1; })()"));
}

inline double elapsedMs(const QElapsedTimer &timer) { return timer.nsecsElapsed() / 1e6; }
