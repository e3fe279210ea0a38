#pragma once

#include "gui/dialogs.h"
#include "gui/quiz/quizzing.h"

#include <QApplication>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPushButton>
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

inline QWebEnginePage *webPage(Quizzing *quiz) {
    return quiz->findChild<QWebEngineView *>(QStringLiteral("questionctl"))->page();
}

// Every blank takes its own answer, so the page is judged right.
inline const QString fillBlanks = QStringLiteral(
    "(function () { var n = 1, blank; while ((blank = document.getElementById('blank' + n))) {"
    " blank.value = document.getElementById('answer' + n).value; ++n; } return n - 1; })()");

// The page any program must show: the body replaced, the html passed as JSON.
inline QString showScript(const QString &html) {
    return QStringLiteral("document.body.innerHTML = %1[0];")
        .arg(QString::fromUtf8(QJsonDocument(QJsonArray{html}).toJson(QJsonDocument::Compact)));
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

// Submit Answer, as the learner presses it.
inline void submitAnswer(Quizzing *quiz) {
    quiz->findChild<QPushButton *>(QStringLiteral("SubmitAnswer"))->click();
}

inline bool always() {
    return true;
}

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

inline void waitForFreshPage(QWebEnginePage *page, std::function<bool()> ready = always) {
    QEventLoop loop;
    auto quit = [&] { loop.quit(); };
    whenFreshPage(page, quit, std::move(ready));
    loop.exec();
}
