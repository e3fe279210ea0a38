#include "core/settings.h"
#include "gui/quiz/quizzing.h"
#include "store/passages.h"
#include "support/windowfixture.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QWebEngineView>

// The quiz window with its real web view: a page as the learner sees and answers it.
class TestQuizzing : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void pagesAnsweredAndOneThatCannotBeStored();
    void aWrongPageShowsWhatWasExpected();
    void emptyPageAndSize();
    void accentAndMarkTypedPlainly();
    void aLongPageReadWhole_data();
    void aLongPageReadWhole();
    void enterAfterTheLastBlankGoesRound();

private:
    // Runs a script in the page and waits for its value.
    QVariant js(const QString &script);
    // Starts a quiz and waits for its first page to show this text.
    void start(const QString &user, qint64 id, const QString &text);
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

void TestQuizzing::start(const QString &user, qint64 id, const QString &text) {
    window_->FormSetup(user, id);
    QTRY_VERIFY_WITH_TIMEOUT(js("document.body.innerText").toString().contains(text), 10000);
}

void TestQuizzing::pagesAnsweredAndOneThatCannotBeStored() {
    start("Ann", 1, "John 11:35");
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

void TestQuizzing::aWrongPageShowsWhatWasExpected() {
    // Psalm 23:2 with its words of 7 letters and more blanked, and 23:3, 87 characters, whole.
    addPassage(fixture_->test.db(), fixture_->clock, {{19, "Psalms", 23, 2}, {19, "Psalms", 23, 3}},
               "Bob", 2);
    fixture_->test.db().execute(
        "UPDATE Passages SET numVersestoAsk = 3 WHERE id = 2;"
        "UPDATE PassageVerses SET minWordSize = 7 * (VerseNum = 2) WHERE passageID = 2");
    start("Bob", 2, "Psalms 23:3");
    QCOMPARE(js("document.documentElement.scrollWidth <= document.documentElement.clientWidth"),
             QVariant(true));
    // Enter moves to the next empty blank, round to one left empty; there it answers the page.
    QTest::keyClicks(keys(), "pastures\r\rHe restoreth my soul he leads me in the paths of "
                             "righteousness for his name's sake.\r");
    QTRY_COMPARE(js("document.activeElement.id"), QVariant("blank2"));
    QTest::keyClick(keys(), Qt::Key_Return);
    QTRY_COMPARE(label("unumIncorrect"), "# Incorrect: 1");
    // Each blank marked, under each wrong one what was expected, each named for a screen reader.
    QTRY_COMPARE(
        js("[1, 2, 3].map(function (n) {"
           "  var b = document.getElementById('blank' + n),"
           "      fix = document.getElementById(b.getAttribute('aria-describedby'));"
           "  return [b.tagName, b.className, b.nextElementSibling.textContent,"
           "          b.getAttribute('aria-label'),"
           "          fix ? fix.firstChild.innerHTML + ' | ' + fix.lastChild.textContent"
           "              : ''].join(' / ');"
           "})")
            .toStringList(),
        QStringList({"INPUT / vk-right / \u2713 / Blank 1 of 3, Psalms 23:2 / ",
                     "INPUT / vk-wrong / \u2717 / Blank 2 of 3, Psalms 23:2 / "
                     "<ins>leadeth</ins> | Expected: leadeth",
                     "TEXTAREA / vk-wrong / \u2717 / Blank 3 of 3, Psalms 23:3 / He restoreth my "
                     "soul<ins>:</ins> he <del>leads</del> <ins>leadeth</ins> me in the paths of "
                     "righteousness for his name's sake. | Expected: He restoreth my soul: he "
                     "leadeth me in the paths of righteousness for his name's sake."}));
    // Ctrl+Enter answers at once, the other blanks empty.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTRY_COMPARE(js("document.activeElement.id + ':' + document.activeElement.value"),
                 QVariant("blank1:"));
    QTest::keyClicks(keys(), "pastures");
    QTest::keyClick(keys(), Qt::Key_Return, Qt::ControlModifier);
    QTRY_COMPARE(label("unumIncorrect"), "# Incorrect: 2");
}

void TestQuizzing::emptyPageAndSize() {
    start("Bob", 2, "no questions");
    QCOMPARE(js("document.body.innerText").toString().simplified(),
             "no questions currently pending... You have no passages yet: View, Passages leads "
             "to where you add one.");
    control<QPushButton>("SubmitAnswer")->click();
    QTest::qWait(100);
    QCOMPARE(window_->quiz().numCorrect + window_->quiz().numIncorrect, 0);
    QCOMPARE(label("uLastAValue"), QString());

    // The next page comes by itself when its passage falls due.
    fixture_->test.db().execute(
        "UPDATE Passages SET UserID = 2, scheduledate = '2026-12-06 10:04:00'");
    start("Bob", 2, "John 11:35 - John 11:35 falls due in 4 minutes.");
    auto *timer = window_->findChild<QTimer *>("nextPageTimer");
    QVERIFY(timer->isActive() && timer->remainingTime() > 239000);
    fixture_->clock.set(fromDbText("2026-12-06 10:04:00"));
    timer->start(0);
    QTRY_COMPARE(js("document.activeElement.id"), QVariant("blank1"));

    // The page's text larger, smaller and normal, remembered.
    for (const auto &[keys, percent] : {std::pair{"Ctrl+=", 110}, std::pair{"Ctrl++", 125},
                                        std::pair{"Ctrl+-", 110}, std::pair{"Ctrl+0", 100}}) {
        QTest::keySequence(window_.get(), QKeySequence(keys));
        QCOMPARE(Settings::pageZoom(), percent);
        QTRY_COMPARE(view_->zoomFactor(), percent / 100.0);
    }

    const int twips = 15;
    for (const auto &[asked, given] : {std::pair{QSize(20000, 6000), QSize(12200, 6000)},
                                       std::pair{QSize(800, 1500), QSize(1200, 2000)}}) {
        window_->resize(asked / twips);
        QTRY_COMPARE(window_->size(), given / twips);
        QCOMPARE(control<QPushButton>("SubmitAnswer")->y(), (given.height() - 1200) / twips);
    }
}

// Other Bibles than the KJV: an accent stored as a mark of its own, a right-to-left mark no
// keyboard types, and a NUL and a CR that the browser changes, through the page and back; a
// damaged passage before it told of once, by its range, and left out.
void TestQuizzing::accentAndMarkTypedPlainly() {
    fixture_->test.db().execute("UPDATE kjv SET VerseText = 'Jesu' || char(769) || 's' || "
                                "char(8207, 0, 13) || ' wept.' WHERE BookNum = 43 AND "
                                "Chapter = 11 AND Verse = 35; UPDATE PassageVerses SET "
                                "verseLevel = 'x'");
    addPassage(fixture_->test.db(), fixture_->clock, {{43, "John", 11, 35}, {43, "John", 11, 35}},
               "Ann", 1);
    start("Ann", 1, "John 11:35");
    QCOMPARE(std::exchange(fixture_->dialogs.errors, {}),
             QStringList{"13 John 11:35 - John 11:35 cannot be asked, and this quiz goes on "
                         "without it: Type mismatch"});
    QTRY_COMPARE(js("document.activeElement.id"), QVariant("blank1"));
    QTest::keyClicks(keys(), "Jes");
    QTest::sendKeyEvent(QTest::Click, keys(), Qt::Key_Uacute, QStringLiteral("\u00FA"), {});
    QTest::keyClicks(keys(), "s");
    QTRY_COMPARE(js("document.activeElement.value"), QVariant("Jes\u00FAs"));
    QTest::keyClick(keys(), Qt::Key_Return);
    QTRY_COMPARE(label("uLastAValue"), "CORRECT");
}

// Psalm 119 whole, far more than the first screen's rows: answered once all of it is in, or
// the moment it is asked, before the rest of its rows are in; Enter goes on past the rows in.
void TestQuizzing::aLongPageReadWhole_data() {
    QTest::addColumn<bool>("whole");
    QTest::newRow("every blank filled") << true;
    QTest::newRow("answered at once") << false;
}

void TestQuizzing::aLongPageReadWhole() {
    QFETCH(bool, whole);
    addPassage(fixture_->test.db(), fixture_->clock,
               {{19, "Psalms", 119, 1}, {19, "Psalms", 119, 176}}, "Bob", 2);
    fixture_->test.db().execute("UPDATE Passages SET numVersestoAsk = 177 WHERE id = 2");
    start("Bob", 2, "Psalms 119:1");
    const int count = int(window_->quiz().state().blanks.size());
    QVERIFY(count > 200);
    const QString last = QStringLiteral("document.getElementById('blank%1')").arg(count);
    if (whole) {
        QTRY_VERIFY_WITH_TIMEOUT(js(last + " !== null").toBool(), 10000);
        js("for (var n = 1, b; (b = document.getElementById('blank' + n)); ++n)"
           "  b.value = document.getElementById('answer' + n).value;");
        QTest::keyClick(keys(), Qt::Key_Return, Qt::ControlModifier);
        QTRY_COMPARE(label("uLastAValue"), "CORRECT");
        return;
    }
    // Enter in the last blank in yet goes on to the next, though it may still be coming.
    window_->FormSetup("Bob", 2);
    QTRY_VERIFY(js("document.getElementById('blank1') !== null").toBool());
    const int shown = js("versekeep.count").toInt();
    js(QStringLiteral("document.getElementById('blank%1').focus()").arg(shown));
    QTest::keyClicks(keys(), "x");
    QTest::keyClick(keys(), Qt::Key_Return);
    QTRY_COMPARE(js("document.activeElement.id"),
                 QVariant(QStringLiteral("blank%1").arg(shown < count ? shown + 1 : 1)));
    window_->FormSetup("Bob", 2);
    control<QPushButton>("SubmitAnswer")->click();
    QTRY_COMPARE(label("uLastAValue"), "INCORRECT");
    QTRY_COMPARE(js(last + ".className + ' / ' + " + last + ".getAttribute('aria-label')"),
                 QVariant(QStringLiteral("vk-wrong / Blank %1 of %1, Psalms 119:176").arg(count)));
    QCOMPARE(js("document.querySelectorAll('.vk-mark').length").toInt(), count);
    fixture_->dialogs.informations.clear();
}

// The book of Psalms with only its first verses due: Enter in the page's last blank, the
// rows after it still coming or not, goes round to the first blank left empty.
void TestQuizzing::enterAfterTheLastBlankGoesRound() {
    addPassage(fixture_->test.db(), fixture_->clock,
               {{19, "Psalms", 1, 1}, {19, "Psalms", 150, 6}}, "Bob", 2);
    fixture_->test.db().execute(
        "UPDATE Passages SET numVersestoAsk = numVerses + 1 WHERE id = 2; UPDATE PassageVerses "
        "SET ScheduleDate = '2999-01-01 00:00:00' WHERE passageID = 2 AND id > "
        "(SELECT min(id) + 2 FROM PassageVerses WHERE passageID = 2)");
    start("Bob", 2, "Psalms 1:1");
    const int count = int(window_->quiz().state().blanks.size());
    js(QStringLiteral("document.getElementById('blank%1').focus()").arg(count));
    QTest::keyClicks(keys(), "x");
    QTest::keyClick(keys(), Qt::Key_Return);
    QTRY_COMPARE(js("document.activeElement.id"), QVariant("blank1"));
    QCOMPARE(judged_->count(), 0);
}

VERSEKEEP_TEST_MAIN(TestQuizzing, QApplication)
#include "test_quizzing.moc"
