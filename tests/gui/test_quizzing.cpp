#include "gui/quiz/quizzing.h"
#include "store/passages.h"
#include "support/windowfixture.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QWebEngineView>

// The quiz window with its real web view: a page as the learner sees and answers it.
class TestQuizzing : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void pagesAnsweredAndOneThatCannotBeStored();
    void emptyPageAndSize();
    void accentAndMarkTypedPlainly();

private:
    // Runs a script in the page and waits for its value.
    QVariant js(const QString &script);
    // Starts a quiz and waits for its first page.
    void start(const QString &user, qint64 id);
    QWidget *keys() { return view_->focusProxy(); }
    template <typename T> T *control(const char *name) { return child<T>(window_.get(), name); }
    QString label(const char *name) { return control<QLabel>(name)->text(); }

    std::unique_ptr<WindowFixture> fixture_;
    std::unique_ptr<Quizzing> window_;
    QWebEngineView *view_ = nullptr;
    std::unique_ptr<QSignalSpy> judged_;
};

void TestQuizzing::init() {
    fixture_ = std::make_unique<WindowFixture>(TestDatabase::withBible());
    fixture_->test.db().execute("INSERT INTO Users (id, Name) VALUES (1, 'Ann'), (2, 'Bob')");
    addPassage(fixture_->test.db(), fixture_->clock, {{43, "John", 11, 35}, {43, "John", 11, 35}},
               "Ann", 1);
    window_ = std::make_unique<Quizzing>(fixture_->context(), fixture_->navigation);
    view_ = control<QWebEngineView>("questionctl");
    judged_ = std::make_unique<QSignalSpy>(window_.get(), &Quizzing::pageJudged);
    window_->show();
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
}

void TestQuizzing::cleanup() {
    QCOMPARE(fixture_->dialogs.errors, QStringList());
    judged_.reset();
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
                                 user == "Ann" ? "John 11:35" : "no questions"),
                             10000);
}

void TestQuizzing::pagesAnsweredAndOneThatCannotBeStored() {
    start("Ann", 1);
    // "Jesus wept.": the longest word first, the keyboard in it.
    QCOMPARE(js("document.body.innerText").toString().simplified(),
             "Fill in the blanks: John 11:35 wept.");
    QTRY_COMPARE(js("document.activeElement.id"), QVariant("blank1"));
    QVERIFY(view_->hasFocus());

    QTest::keyClicks(keys(), "jesus ");
    QTest::keyClick(keys(), Qt::Key_Return);
    QTRY_COMPARE(label("unumCorrect"), "# Correct: 1");
    QCOMPARE(label("uLastAValue"), "CORRECT");
    // The next page, at once, with the keyboard in its blank.
    QTRY_COMPARE(js("document.activeElement.id + ':' + document.activeElement.value"),
                 QVariant("blank1:"));

    QTest::keyClicks(keys(), "Judas");
    QTest::keyClick(keys(), Qt::Key_Return);
    QTRY_COMPARE(label("unumIncorrect"), "# Incorrect: 1");
    QCOMPARE(fixture_->dialogs.informations,
             QStringList{"Some blanks were incorrect please review the correct answers before "
                         "continuing."});
    QCOMPARE(label("uLastAValue"), "INCORRECT");
    auto *submit = control<QPushButton>("SubmitAnswer");
    auto *next = control<QPushButton>("ContinueButton");
    QVERIFY(next->isVisible() && !submit->isVisible());
    QCOMPARE(QApplication::focusWidget(), next);
    QTRY_COMPARE(js("var b = document.getElementById('blank1');"
                    "b.style.color + '|' + b.title + '|' + b.value"),
                 QVariant("red|Jesus|Judas"));

    QTest::keyClick(next, Qt::Key_Return);
    QVERIFY(submit->isVisible() && !next->isVisible());
    QTRY_COMPARE(js("document.activeElement.id + ':' + document.activeElement.value"),
                 QVariant("blank1:"));

    // A page is judged once, however often Submit is pressed while it is being read.
    QTest::keyClicks(keys(), "Jesus");
    QTRY_COMPARE(js("document.activeElement.value"), QVariant("Jesus"));
    submit->click();
    submit->click();
    QTRY_COMPARE(label("unumCorrect"), "# Correct: 2");
    QTest::qWait(200);
    QCOMPARE(window_->quiz().numCorrect + window_->quiz().numIncorrect, 3);
    QCOMPARE(judged_->count(), 3);

    // The next page cannot be stored: one report, and back to the passages.
    fixture_->test.db().execute("CREATE TRIGGER jammed BEFORE UPDATE ON PassageVerses "
                                "BEGIN SELECT RAISE(ABORT, 'the disk is jammed'); END");
    QTRY_COMPARE(js("document.activeElement.id + ':' + document.activeElement.value"),
                 QVariant("blank1:"));
    QTest::keyClicks(keys(), "Jesus");
    QTest::keyClick(keys(), Qt::Key_Return);
    QTRY_COMPARE(fixture_->dialogs.errors, QStringList{"19 the disk is jammed"});
    QCOMPARE(fixture_->navigation.calls, QStringList{"passages"});
    QVERIFY(!window_->isVisible());
    QCOMPARE(label("unumCorrect"), "# Correct: 2");
    QCOMPARE(judged_->count(), 3);
    fixture_->dialogs.errors.clear();
}

void TestQuizzing::emptyPageAndSize() {
    start("Bob", 2);
    QCOMPARE(js("document.body.innerText").toString().trimmed(),
             "no questions currently pending...");
    control<QPushButton>("SubmitAnswer")->click();
    QTest::qWait(100);
    QCOMPARE(window_->quiz().numCorrect + window_->quiz().numIncorrect, 0);
    QCOMPARE(label("uLastAValue"), QString());

    const int twips = 15;
    for (const auto &[asked, given] : {std::pair{QSize(20000, 6000), QSize(12200, 6000)},
                                       std::pair{QSize(800, 1500), QSize(1200, 2000)}}) {
        window_->resize(asked / twips);
        QTRY_COMPARE(window_->size(), given / twips);
        QCOMPARE(control<QPushButton>("SubmitAnswer")->y(), (given.height() - 1200) / twips);
    }
}

// Other Bibles than the KJV: an accent stored as a mark of its own, and a right-to-left mark
// no keyboard types, through the page and back.
void TestQuizzing::accentAndMarkTypedPlainly() {
    fixture_->test.db().execute("UPDATE kjv SET VerseText = 'Jesu' || char(769) || 's' || "
                                "char(8207) || ' wept.' WHERE BookNum = 43 AND Chapter = 11 "
                                "AND Verse = 35");
    start("Ann", 1);
    QTRY_COMPARE(js("document.activeElement.id"), QVariant("blank1"));
    QTest::keyClicks(keys(), "Jes");
    QTest::sendKeyEvent(QTest::Click, keys(), Qt::Key_Uacute, QStringLiteral("\u00FA"), {});
    QTest::keyClicks(keys(), "s");
    QTRY_COMPARE(js("document.activeElement.value"), QVariant("Jes\u00FAs"));
    QTest::keyClick(keys(), Qt::Key_Return);
    QTRY_COMPARE(label("uLastAValue"), "CORRECT");
}

VERSEKEEP_TEST_MAIN(TestQuizzing, QApplication)
#include "test_quizzing.moc"
