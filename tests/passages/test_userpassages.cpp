#include "application.h"
#include "clock.h"
#include "recordingdialogs.h"
#include "testdatabase.h"
#include "userpassages.h"
#include "users.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

// The passage window through the real widgets, on a copy of the full verse table.
class TestUserPassages : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void openingAUserShowsTheirPassages_data();
    void openingAUserShowsTheirPassages();
    void choosingABookRefillsItsSide();
    void labelShowsTheRange_data();
    void labelShowsTheRange();
    void showingAgainClearsTheBooksOnly();
    void addingAPassage();
    void memorizeStoresOnlyValidRanges_data();
    void memorizeStoresOnlyValidRanges();
    void deleteAsks_data();
    void deleteAsks();
    void failedLookUpFallsBackToTheUserList_data();
    void failedLookUpFallsBackToTheUserList();
    void usersMenuGoesBack();
    void windowKeepsItsSize();

private:
    qint64 addUser(const QString &name, qint64 id);
    void open(const QString &name);
    void choose(QListWidget *list, const QString &text);
    void choose(QComboBox *combo, const QString &text);
    void chooseRange(const QStringList &range);
    QStringList entries(const QListWidget *list) const;

    std::unique_ptr<TestDatabase> test_;
    std::unique_ptr<RecordingDialogs> dialogs_;
    FixedClock clock_{fromDbText("2026-12-06 10:00:00")};
    std::unique_ptr<Application> app_;
    UserPassages *window_ = nullptr;
};

void TestUserPassages::init() {
    test_ = std::make_unique<TestDatabase>(TestDatabase::withBible());
    pointSettingsAt(test_->folder(), QStringLiteral("test.db"));
    dialogs_ = std::make_unique<RecordingDialogs>();
    app_ = std::make_unique<Application>(*dialogs_, clock_);
    QVERIFY(app_->Main());
    addUser("Ann", 1);
    open("Ann");
    window_ = app_->userPassages();
    QVERIFY(window_->isVisible());
}

void TestUserPassages::cleanup() {
    QCOMPARE(dialogs_->errors, QStringList());
    app_->ExitProgram();
    app_.reset();
    test_.reset();
}

qint64 TestUserPassages::addUser(const QString &name, qint64 id) {
    Statement(test_->db(), "INSERT INTO Users (id, Name) VALUES (?, ?)").bindAll(id, name).run();
    return id;
}

void TestUserPassages::open(const QString &name) {
    Users *users = app_->users();
    users->show();
    users->User->clear();
    QTest::mouseClick(users->AddButton, Qt::LeftButton); // refills the list
    const auto found = users->userlist->findItems(name, Qt::MatchExactly);
    QVERIFY(!found.isEmpty());
    users->userlist->setCurrentItem(found.first());
    QTest::keyClick(users->userlist, Qt::Key_Return);
}

void TestUserPassages::choose(QListWidget *list, const QString &text) {
    const auto found = list->findItems(text, Qt::MatchExactly);
    QVERIFY2(!found.isEmpty(), qPrintable(text));
    list->setCurrentItem(found.first());
}

void TestUserPassages::choose(QComboBox *combo, const QString &text) {
    const int index = combo->findText(text);
    QVERIFY2(index >= 0, qPrintable(text));
    combo->setCurrentIndex(index);
    Q_EMIT combo->activated(index);
}

void TestUserPassages::chooseRange(const QStringList &range) {
    if (!range[0].isEmpty())
        choose(window_->startbook, range[0]);
    if (!range[1].isEmpty())
        choose(window_->startChapter, range[1]);
    if (!range[2].isEmpty())
        choose(window_->startVerse, range[2]);
    if (!range[3].isEmpty())
        choose(window_->endbook, range[3]);
    if (!range[4].isEmpty())
        choose(window_->endChapter, range[4]);
    if (!range[5].isEmpty())
        choose(window_->endVerse, range[5]);
}

QStringList TestUserPassages::entries(const QListWidget *list) const {
    QStringList texts;
    for (int row = 0; row < list->count(); ++row)
        texts << list->item(row)->text();
    return texts;
}

void TestUserPassages::openingAUserShowsTheirPassages_data() {
    QTest::addColumn<qint64>("id");
    QTest::newRow("small id") << qint64(2);
    QTest::newRow("id above 32767") << qint64(40000);
}

void TestUserPassages::openingAUserShowsTheirPassages() {
    QFETCH(qint64, id);
    addUser("Bob", id);
    Statement add(test_->db(), "INSERT INTO Passages (startbook, startchapter, startverse, "
                               "endbook, endchapter, endverse, username, UserID, scheduledate) "
                               "VALUES ('John', 1, 1, 'John', 1, ?, ?, ?, '2026-01-01 00:00:00')");
    add.bindAll(5, QStringLiteral("Ann"), 1).run();
    add.bindAll(9, QStringLiteral("Bob"), id).run();
    window_->hide();
    open("Bob");
    QVERIFY(window_->isVisible());
    QVERIFY(!app_->users()->isVisible());
    QCOMPARE(window_->CurrentUser, "Bob");
    QCOMPARE(window_->CurrentUserID, id);
    QCOMPARE(window_->Uname->text(), "Bob");
    QCOMPARE(entries(window_->PassageList), QStringList{"John 1:1 - John 1:9"});
}

void TestUserPassages::choosingABookRefillsItsSide() {
    QCOMPARE(window_->startbook->count(), 66);
    QCOMPARE(entries(window_->endbook), entries(window_->startbook));
    QCOMPARE(window_->startbook->item(18)->text(), "Psalms");
    chooseRange({"Genesis", "50", "3", "", "", ""});
    QCOMPARE(window_->startVerse->count(), 26);
    choose(window_->startbook, "Ruth");
    QCOMPARE(window_->startChapter->count(), 4);
    QCOMPARE(window_->startChapter->itemText(3), "4");
    QCOMPARE(window_->startChapter->currentIndex(), -1);
    QCOMPARE(window_->startVerse->count(), 0);
    QCOMPARE(window_->PassageLabel->text(), "Ruth : -  :");
    // The end side was never touched, and can be chosen on its own.
    QCOMPARE(window_->endChapter->count(), 0);
    chooseRange({"", "", "", "Jude", "1", "25"});
    QCOMPARE(window_->endVerse->count(), 25);
    QCOMPARE(window_->startChapter->count(), 4);
    QCOMPARE(window_->startVerse->count(), 0);
}

void TestUserPassages::labelShowsTheRange_data() {
    QTest::addColumn<QStringList>("range");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::newRow("valid") << QStringList{"Genesis", "50", "25", "Exodus", "1", "2"}
                           << "Genesis 50:25 - Exodus 1:2" << true;
    QTest::newRow("one verse") << QStringList{"John", "11", "35", "John", "11", "35"}
                               << "John 11:35 - John 11:35" << true;
    QTest::newRow("verse before") << QStringList{"John", "3", "16", "John", "3", "15"}
                                  << "John 3:16 - John 3:15" << false;
    QTest::newRow("chapter before") << QStringList{"John", "3", "1", "John", "2", "1"}
                                    << "John 3:1 - John 2:1" << false;
    QTest::newRow("book before") << QStringList{"Exodus", "1", "1", "Genesis", "1", "1"}
                                 << "Exodus 1:1 - Genesis 1:1" << false;
    QTest::newRow("no end verse") << QStringList{"John", "3", "16", "John", "3", ""}
                                  << "John 3:16 - John 3:" << false;
}

void TestUserPassages::labelShowsTheRange() {
    QFETCH(QStringList, range);
    QFETCH(QString, text);
    QFETCH(bool, valid);
    chooseRange(range);
    QCOMPARE(window_->PassageLabel->text(), text);
    QCOMPARE(window_->ValidPassage(), valid);
    QCOMPARE(window_->PassageLabel->palette().color(QPalette::WindowText),
             valid ? QColor(0, 0, 0) : QColor(250, 15, 0));
}

void TestUserPassages::showingAgainClearsTheBooksOnly() {
    chooseRange({"John", "3", "16", "John", "3", "18"});
    window_->hide();
    window_->show();
    QCOMPARE(window_->startbook->selectedItems().size(), 0);
    QCOMPARE(window_->endbook->selectedItems().size(), 0);
    QCOMPARE(window_->PassageLabel->text(), QString());
    QCOMPARE(window_->startVerse->currentText(), "16");
    QCOMPARE(window_->endVerse->count(), 36);
    QVERIFY(!window_->ValidPassage());
}

void TestUserPassages::addingAPassage() {
    chooseRange({"Genesis", "50", "25", "Exodus", "1", "2"});
    QTest::mouseClick(window_->Memorize, Qt::LeftButton);
    QCOMPARE(entries(window_->PassageList), QStringList{"Genesis 50:25 - Exodus 1:2"});
    QCOMPARE(test_->count("SELECT count(*) FROM PassageVerses"), 4);
    QCOMPARE(test_->count("SELECT count(*) FROM Passages WHERE UserID = 1 AND username = 'Ann' "
                          "AND scheduledate = '2026-12-06 10:00:00'"),
             1);
    // Everything stays chosen, so the same range can be added again.
    QCOMPARE(window_->PassageLabel->text(), "Genesis 50:25 - Exodus 1:2");
    QTest::mouseClick(window_->Memorize, Qt::LeftButton);
    QCOMPARE(window_->PassageList->count(), 2);
    QCOMPARE(dialogs_->count(), 0);
}

void TestUserPassages::memorizeStoresOnlyValidRanges_data() {
    labelShowsTheRange_data();
}

void TestUserPassages::memorizeStoresOnlyValidRanges() {
    QFETCH(QStringList, range);
    QFETCH(bool, valid);
    chooseRange(range);
    QTest::mouseClick(window_->Memorize, Qt::LeftButton);
    const QStringList message{"Invalid Passage: Each passage must contain a starting verse and "
                              "an ending verse greater than the starting verse."};
    QCOMPARE(dialogs_->informations, valid ? QStringList() : message);
    QCOMPARE(test_->count("SELECT count(*) FROM Passages"), valid ? 1 : 0);
    QCOMPARE(window_->PassageList->count(), valid ? 1 : 0);
    QVERIFY(window_->isVisible());
}

void TestUserPassages::deleteAsks_data() {
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<bool>("deleted");
    QTest::newRow("OK") << int(Qt::NoModifier) << true << true;
    QTest::newRow("Cancel") << int(Qt::NoModifier) << false << false;
    QTest::newRow("Shift") << int(Qt::ShiftModifier) << true << false;
    QTest::newRow("Ctrl") << int(Qt::ControlModifier) << true << false;
    QTest::newRow("Alt") << int(Qt::AltModifier) << true << false;
}

void TestUserPassages::deleteAsks() {
    QFETCH(int, modifiers);
    QFETCH(bool, answer);
    QFETCH(bool, deleted);
    chooseRange({"Psalms", "23", "1", "Psalms", "23", "6"});
    QTest::mouseClick(window_->Memorize, Qt::LeftButton);
    chooseRange({"John", "11", "35", "John", "11", "35"});
    QTest::mouseClick(window_->Memorize, Qt::LeftButton);
    window_->PassageList->setCurrentRow(0);
    dialogs_->answers = {answer};
    QTest::keyClick(window_->PassageList, Qt::Key_Delete, Qt::KeyboardModifiers(modifiers));
    QCOMPARE(dialogs_->questions.size(), modifiers == Qt::NoModifier ? 1 : 0);
    QCOMPARE(entries(window_->PassageList),
             deleted ? QStringList{"John 11:35 - John 11:35"}
                     : (QStringList{"Psalms 23:1 - Psalms 23:6", "John 11:35 - John 11:35"}));
    QCOMPARE(test_->count("SELECT count(*) FROM PassageVerses"), deleted ? 1 : 7);
}

void TestUserPassages::failedLookUpFallsBackToTheUserList_data() {
    QTest::addColumn<bool>("chapter");
    QTest::newRow("last chapter of a book not in the table") << true;
    QTest::newRow("last verse of a chapter not in the table") << false;
}

void TestUserPassages::failedLookUpFallsBackToTheUserList() {
    QFETCH(bool, chapter);
    QCOMPARE(chapter ? window_->GetLastChapter(67) : window_->GetLastVerse(1, 51), 0);
    QCOMPARE(dialogs_->errorNumbers, QList<int>{int(Error::InvalidUseOfNull)});
    QVERIFY(!window_->isVisible());
    QVERIFY(app_->users()->isVisible());
    dialogs_->clear();
}

void TestUserPassages::usersMenuGoesBack() {
    QAction *users = window_->findChild<QAction *>("pMenuUsers");
    QVERIFY(users);
    users->trigger();
    QVERIFY(!window_->isVisible());
    QVERIFY(app_->users()->isVisible());
}

void TestUserPassages::windowKeepsItsSize() {
    const QSize size = window_->size();
    QCOMPARE(window_->centralWidget()->size(), QSize(744, 568));
    window_->resize(size / 2);
    QTest::qWait(20);
    QCOMPARE(window_->size(), size);
    for (const char *name : {"Uname", "PassageList", "startbook", "endbook", "startChapter",
                             "startVerse", "endChapter", "endVerse", "PassageLabel", "Memorize",
                             "StartLearning", "pMenuExit", "pMenuUsers", "pHelp", "pMenuAbout"})
        QVERIFY2(window_->findChild<QObject *>(name), name);
    QCOMPARE(window_->PassageList->geometry(), QRect(8, 112, 265, 381));
}

VERSEKEEP_TEST_MAIN(TestUserPassages, QApplication)
#include "test_userpassages.moc"
