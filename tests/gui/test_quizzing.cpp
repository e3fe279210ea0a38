#include "store/passages.h"
#include "gui/quiz/questionpage.h"
#include "gui/quiz/quizzing.h"
#include "support/windowfixture.h"

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QWebEngineView>

// The quiz window with its real web view: a page as the learner sees and answers it.
class TestQuizzing : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void rightAndWrongPagesFromTheKeyboard();
    void aPageIsJudgedOnce();
    void emptyPageTakesNoAnswer();
    void viewMenuAndSize();

private:
    // Runs a script in the page and waits for its value.
    QVariant js(const QString &script);
    // Starts a quiz and waits for its first page.
    void start(const QString &user, qint64 id);
    QWidget *keys() { return view_->focusProxy(); }

    std::unique_ptr<WindowFixture> fixture_;
    std::unique_ptr<Quizzing> window_;
    QWebEngineView *view_ = nullptr;
};

void TestQuizzing::init() {
    fixture_ = std::make_unique<WindowFixture>(TestDatabase::withBible());
    fixture_->test.db().execute("INSERT INTO Users (id, Name) VALUES (1, 'Ann'), (2, 'Bob')");
    const FixedClock before(fixture_->clock.now().addSecs(-60));
    addPassage(fixture_->test.db(), before, {{43, "John", 11, 35}, {43, "John", 11, 35}}, "Ann",
               1);
    window_ = std::make_unique<Quizzing>(fixture_->context(), fixture_->navigation);
    view_ = qobject_cast<QWebEngineView *>(window_->questionctl->widget());
    window_->show();
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
}

void TestQuizzing::cleanup() {
    QCOMPARE(fixture_->dialogs.errors, QStringList());
    window_.reset();
    fixture_.reset();
}

QVariant TestQuizzing::js(const QString &script) {
    QVariant result;
    bool done = false;
    view_->page()->runJavaScript(script, [&](const QVariant &value) {
        result = value;
        done = true;
    });
    return QTest::qWaitFor([&] { return done; }, 10000) ? result : QVariant("(no answer)");
}

void TestQuizzing::start(const QString &user, qint64 id) {
    window_->FormSetup(user, id);
    QTRY_VERIFY_WITH_TIMEOUT(js("document.body.innerText").toString().contains(
                                 QRegularExpression("John 11:35|no questions")),
                             10000);
}

void TestQuizzing::rightAndWrongPagesFromTheKeyboard() {
    start("Ann", 1);
    // "Jesus wept.": the longest word first, the keyboard in it.
    QCOMPARE(js("document.body.innerText").toString().simplified(),
             "Fill in the blanks: John 11:35 wept.");
    QTRY_COMPARE(js("document.activeElement.id"), QVariant("blank1"));
    QVERIFY(view_->hasFocus());

    QTest::keyClicks(keys(), "jesus ");
    QTest::keyClick(keys(), Qt::Key_Return);
    QTRY_COMPARE(window_->quiz().numCorrect, 1);
    QCOMPARE(window_->uLastAValue->text(), "CORRECT");
    QCOMPARE(window_->unumCorrect->text(), "# Correct: 1");
    // The next page, at once, with the keyboard in its blank.
    QTRY_COMPARE(js("document.activeElement.id + ':' + document.activeElement.value"),
                 QVariant("blank1:"));

    QTest::keyClicks(keys(), "Judas");
    QTest::keyClick(keys(), Qt::Key_Return);
    QTRY_COMPARE(window_->quiz().numIncorrect, 1);
    QCOMPARE(fixture_->dialogs.informations,
             QStringList{"Some blanks were incorrect please review the correct answers before "
                         "continuing."});
    QCOMPARE(window_->uLastAValue->text(), "INCORRECT");
    QVERIFY(window_->ContinueButton->isVisible() && !window_->SubmitAnswer->isVisible());
    QCOMPARE(QApplication::focusWidget(), window_->ContinueButton);
    QTRY_COMPARE(js("var b = document.getElementById('blank1');"
                    "b.style.color + '|' + b.title + '|' + b.value"),
                 QVariant("red|Jesus|Judas"));

    QTest::keyClick(window_->ContinueButton, Qt::Key_Return);
    QVERIFY(window_->SubmitAnswer->isVisible() && !window_->ContinueButton->isVisible());
    QTRY_COMPARE(js("document.activeElement.id + ':' + document.activeElement.value"),
                 QVariant("blank1:"));
    QCOMPARE(window_->quiz().numCorrect + window_->quiz().numIncorrect, 2);
    window_->findChild<QAction *>("qMenuProgress")->trigger();
    QCOMPARE(fixture_->navigation.calls, (QStringList{"judged", "judged", "progress Ann 1"}));
}

void TestQuizzing::aPageIsJudgedOnce() {
    start("Ann", 1);
    QTest::keyClicks(keys(), "Jesus");
    QTRY_COMPARE(js("document.activeElement.value"), QVariant("Jesus"));
    window_->SubmitAnswer->click();
    window_->SubmitAnswer->click(); // while the page is being read
    QTRY_COMPARE(window_->quiz().numCorrect, 1);
    QTest::qWait(200);
    QCOMPARE(window_->quiz().numCorrect + window_->quiz().numIncorrect, 1);
}

void TestQuizzing::emptyPageTakesNoAnswer() {
    start("Bob", 2);
    QCOMPARE(js("document.body.innerText").toString().trimmed(),
             "no questions currently pending...");
    window_->SubmitAnswer->click();
    QTest::qWait(100);
    QCOMPARE(window_->quiz().numCorrect + window_->quiz().numIncorrect, 0);
    QCOMPARE(window_->uLastAValue->text(), QString());
}

void TestQuizzing::viewMenuAndSize() {
    const int twips = 15;
    for (const auto &[asked, given] : {std::pair{QSize(20000, 6000), QSize(12200, 6000)},
                                       std::pair{QSize(800, 1500), QSize(1200, 2000)}}) {
        window_->resize(asked / twips);
        QTRY_COMPARE(window_->size(), given / twips);
        QCOMPARE(window_->SubmitAnswer->y(), (given.height() - 1200) / twips);
    }
    window_->findChild<QAction *>("qMenuPassages")->trigger();
    QVERIFY(!window_->isVisible());
    window_->findChild<QAction *>("qMenuUsers")->trigger();
    QCOMPARE(fixture_->navigation.calls, (QStringList{"passages", "users"}));
}

VERSEKEEP_TEST_MAIN(TestQuizzing, QApplication)
#include "test_quizzing.moc"
