#include "gui/passages/userpassages.h"
#include "store/passages.h"
#include "support/windowfixture.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>

// The passage window through the real widgets, on a copy of the full verse table.
class TestUserPassages : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void pickersLabelAndAdding();
    void deleteAsksFirst();
    void failedLookUpFallsBackToTheUserList();
    void nameShownAsTyped();
    void booksInTheBiblesLanguage();

private:
    template <typename T> T *control(const char *name) { return child<T>(window_.get(), name); }
    QListWidget *list(const char *name) { return control<QListWidget>(name); }
    QComboBox *combo(const char *name) { return control<QComboBox>(name); }
    void chooseRange(const QStringList &range); // "" leaves a picker alone
    // The range label, its colour, and each number picker's count and choice.
    QString pickers();
    qint64 count(const char *sql) { return fixture_->test.count(sql); }

    std::unique_ptr<WindowFixture> fixture_;
    std::unique_ptr<UserPassages> window_;
};

void TestUserPassages::init() {
    fixture_ = std::make_unique<WindowFixture>(TestDatabase::withBible());
    Statement(fixture_->test.db(), "INSERT INTO Users (id, Name) VALUES (1, 'Ann')").run();
    window_ = std::make_unique<UserPassages>(fixture_->context(), fixture_->navigation);
    window_->show();
    window_->SetCurrentUser("Ann", 1);
}

void TestUserPassages::cleanup() {
    QCOMPARE(fixture_->dialogs.errors, QStringList());
    window_.reset();
    fixture_.reset();
}

void TestUserPassages::chooseRange(const QStringList &range) {
    const char *pickers[] = {"startbook", "startChapter", "startVerse",
                             "endbook",   "endChapter",   "endVerse"};
    for (int i = 0; i < 6; ++i) {
        if (range[i].isEmpty())
            continue;
        if (i % 3 == 0)
            chooseEntry(list(pickers[i]), range[i]);
        else
            combo(pickers[i])->setCurrentIndex(combo(pickers[i])->findText(range[i]));
    }
}

QString TestUserPassages::pickers() {
    auto *label = control<QLabel>("PassageLabel");
    QStringList shown{label->text(), label->palette().color(QPalette::WindowText).name()};
    for (const char *name : {"startChapter", "startVerse", "endChapter", "endVerse"})
        shown << QStringLiteral("%1/%2").arg(combo(name)->count()).arg(combo(name)->currentText());
    return shown.join(" | ");
}

void TestUserPassages::pickersLabelAndAdding() {
    QSignalSpy added(window_.get(), &UserPassages::passageAdded);
    QListWidget *startbook = list("startbook");
    QCOMPARE(entries(list("endbook")), entries(startbook));
    chooseRange({"Genesis", "50", "3", "Jude", "1", "25"});
    QCOMPARE(pickers(), "Genesis 50:3 - Jude 1:25 | #000000 | 50/50 | 26/3 | 1/1 | 25/25");
    // A new book refills its chapters and empties its verses, and nothing else.
    chooseEntry(startbook, "Ruth");
    QCOMPARE(pickers(), "Ruth : - Jude 1:25 | #fa0f00 | 4/ | 0/ | 1/1 | 25/25");

    // A passage is stored and listed; everything stays chosen, to be added again by Enter.
    chooseRange({"John", "3", "16", "John", "3", "18"});
    auto *memorize = control<QPushButton>("Memorize");
    QTest::mouseClick(memorize, Qt::LeftButton);
    QTest::keyClick(memorize, Qt::Key_Return);
    QCOMPARE(entries(list("PassageList")), QStringList(2, "John 3:16 - John 3:18"));
    QCOMPARE(added.count(), 2);
    QCOMPARE(count("SELECT count(*) FROM Passages WHERE UserID = 1 AND username = 'Ann' AND "
                   "scheduledate = '2026-12-06 10:00:00' AND numVerses = 3"),
             2);
    QCOMPARE(pickers(), "John 3:16 - John 3:18 | #000000 | 21/3 | 36/16 | 21/3 | 36/18");

    // Ctrl+click takes the choice away: the label follows at once, and nothing is stored.
    const QRect john = startbook->visualItemRect(startbook->currentItem());
    QTest::mouseClick(startbook->viewport(), Qt::LeftButton, Qt::ControlModifier, john.center());
    QCOMPARE(pickers(), " 3:16 - John 3:18 | #fa0f00 | 21/3 | 36/16 | 21/3 | 36/18");
    memorize->click();
    QCOMPARE(fixture_->dialogs.informations,
             QStringList{"Invalid Passage: Each passage must contain a starting verse and an "
                         "ending verse greater than the starting verse."});
    QCOMPARE(list("PassageList")->count() + added.count(), 4);

    // Coming back to the window clears both books and the label, and only them.
    window_->hide();
    window_->show();
    QCOMPARE(startbook->selectedItems().size() + list("endbook")->selectedItems().size(), 0);
    QCOMPARE(pickers(), " | #fa0f00 | 21/3 | 36/16 | 21/3 | 36/18");
}

void TestUserPassages::deleteAsksFirst() {
    for (const PassageRange &range : {PassageRange{{19, "Psalms", 23, 1}, {19, "Psalms", 23, 6}},
                                      PassageRange{{43, "John", 11, 35}, {43, "John", 11, 35}}})
        addPassage(fixture_->test.db(), fixture_->clock, range, "Ann", 1);
    window_->SetCurrentUser("Ann", 1);
    QSignalSpy gone(window_.get(), &UserPassages::passageDeleted);
    QListWidget *passages = list("PassageList");
    passages->setCurrentRow(0);
    // Delete with Shift, Ctrl or Alt does nothing; alone it asks: Cancel, then OK.
    fixture_->dialogs.answers = {false, true};
    for (const auto held : {Qt::ShiftModifier, Qt::ControlModifier, Qt::AltModifier,
                            Qt::NoModifier, Qt::NoModifier})
        QTest::keyClick(passages, Qt::Key_Delete, held);
    QCOMPARE(fixture_->dialogs.questions,
             QStringList(2, "Are you sure you want to delete this passage?"));
    QCOMPARE(entries(passages), QStringList{"John 11:35 - John 11:35"});
    QCOMPARE(gone.count(), 1);
}

void TestUserPassages::failedLookUpFallsBackToTheUserList() {
    // Chapter 2 of Ruth taken from the verse table, then the whole book.
    for (const auto &[chapter, range] : {std::pair{2, QStringList{"Ruth", "2", "", "", "", ""}},
                                         std::pair{0, QStringList{"Ruth", "", "", "", "", ""}}}) {
        window_->show();
        Statement(fixture_->test.db(), "DELETE FROM kjv WHERE BookNum = 8 AND ? IN (0, Chapter)")
            .bindAll(chapter)
            .run();
        chooseRange(range);
        QCOMPARE(fixture_->dialogs.errorNumbers, QList<int>{int(Error::InvalidUseOfNull)});
        QVERIFY(!window_->isVisible());
        QCOMPARE(fixture_->navigation.calls, QStringList{"users"});
        fixture_->dialogs = {};
        fixture_->navigation.calls.clear();
    }
}

// A name is text, never markup that could fetch a file.
void TestUserPassages::nameShownAsTyped() {
    window_->SetCurrentUser("<b>x</b><img src=\"/etc/passwd\">", 1);
    QCOMPARE(control<QLabel>("Uname")->textFormat(), Qt::PlainText);
    QCOMPARE(control<QLabel>("Uname")->text(), "<b>x</b><img src=\"/etc/passwd\">");
}

void TestUserPassages::booksInTheBiblesLanguage() {
    fixture_->test.db().execute("UPDATE BibleBooks SET Name = 'Juan' WHERE BookNum = 43");
    window_ = std::make_unique<UserPassages>(fixture_->context(), fixture_->navigation);
    window_->show();
    window_->SetCurrentUser("Ann", 1);
    QCOMPARE(entries(list("endbook")).mid(41, 3), (QStringList{"Luke", "Juan", "Acts"}));
    chooseRange({"Juan", "11", "35", "Juan", "11", "35"});
    QCOMPARE(control<QLabel>("PassageLabel")->text(), "Juan 11:35 - Juan 11:35");
}

VERSEKEEP_TEST_MAIN(TestUserPassages, QApplication)
#include "test_userpassages.moc"
