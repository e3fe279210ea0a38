#include "application.h"
#include "clock.h"
#include "recordingdialogs.h"
#include "testdatabase.h"
#include "users.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

// The user list through the real window, on a private database.
class TestUsers : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void addStoresTheNameAsTyped_data();
    void addStoresTheNameAsTyped();
    void blankNameAddsNothingButRefills();
    void sameNameTwiceGivesTwoUsers();
    void listIsInNameOrderIgnoringCase();
    void deleteAsksAndRemovesEverything_data();
    void deleteAsksAndRemovesEverything();
    void windowKeepsItsSize();

private:
    void add(const QString &name);
    QStringList listed() const;

    std::unique_ptr<TestDatabase> test_;
    std::unique_ptr<RecordingDialogs> dialogs_;
    SystemClock clock_;
    std::unique_ptr<Application> app_;
    Users *window_ = nullptr;
};

void TestUsers::init() {
    test_ = std::make_unique<TestDatabase>();
    pointSettingsAt(test_->folder(), QStringLiteral("test.db"));
    dialogs_ = std::make_unique<RecordingDialogs>();
    app_ = std::make_unique<Application>(*dialogs_, clock_);
    QVERIFY(app_->Main());
    window_ = app_->users();
    QVERIFY(QTest::qWaitForWindowExposed(window_));
}

void TestUsers::cleanup() {
    app_->ExitProgram();
    app_.reset();
    test_.reset();
}

void TestUsers::add(const QString &name) {
    window_->User->setText(name);
    QTest::mouseClick(window_->AddButton, Qt::LeftButton);
}

QStringList TestUsers::listed() const {
    QStringList names;
    for (int row = 0; row < window_->userlist->count(); ++row)
        names << window_->userlist->item(row)->text();
    return names;
}

void TestUsers::addStoresTheNameAsTyped_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("plain") << "Ann";
    QTest::newRow("blanks kept") << "  Ann Lee  ";
    QTest::newRow("quote") << "O'Brien";
    QTest::newRow("double quote") << "Say \"hi\"";
    QTest::newRow("sql words") << "x'); DROP TABLE Users; --";
    QTest::newRow("select") << "SELECT * FROM Users WHERE 1=1";
    QTest::newRow("not ascii") << QString::fromUtf8("Zoë Ørsted");
}

void TestUsers::addStoresTheNameAsTyped() {
    QFETCH(QString, name);
    add(name);
    QCOMPARE(listed(), QStringList{name});
    Statement stored(test_->db(), "SELECT Name FROM Users");
    QVERIFY(stored.next());
    QCOMPARE(stored.text("name"), name);
    QCOMPARE(window_->User->text(), name);
    QCOMPARE(dialogs_->count(), 0);
}

void TestUsers::blankNameAddsNothingButRefills() {
    // A user added behind the window's back shows up once the list is refilled.
    Statement(test_->db(), "INSERT INTO Users (Name) VALUES ('Other')").run();
    for (const QString &blank : {QString(), QStringLiteral("   "), QStringLiteral("\t ")}) {
        add(blank);
        QCOMPARE(listed(), QStringList{"Other"});
    }
    QCOMPARE(test_->count("SELECT count(*) FROM Users"), 1);
    QCOMPARE(dialogs_->count(), 0);
}

void TestUsers::sameNameTwiceGivesTwoUsers() {
    add("Ann");
    add("Ann");
    QCOMPARE(listed(), (QStringList{"Ann", "Ann"}));
    QCOMPARE(test_->count("SELECT count(DISTINCT id) FROM Users"), 2);
}

void TestUsers::listIsInNameOrderIgnoringCase() {
    for (const char *name : {"carl", "Bob", "alice", "Dave"})
        add(QString::fromLatin1(name));
    QCOMPARE(listed(), (QStringList{"alice", "Bob", "carl", "Dave"}));
}

void TestUsers::deleteAsksAndRemovesEverything_data() {
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("deleted");
    QTest::newRow("OK") << int(Qt::NoModifier) << true << true << true;
    QTest::newRow("Cancel") << int(Qt::NoModifier) << false << true << false;
    QTest::newRow("Shift") << int(Qt::ShiftModifier) << true << false << false;
    QTest::newRow("Ctrl") << int(Qt::ControlModifier) << true << false << false;
    QTest::newRow("Alt") << int(Qt::AltModifier) << true << false << false;
}

void TestUsers::deleteAsksAndRemovesEverything() {
    QFETCH(int, modifiers);
    QFETCH(bool, answer);
    QFETCH(bool, asked);
    QFETCH(bool, deleted);
    add("Keep");
    add("Leave");
    Database &db = test_->db();
    // Two passages with verses for "Leave", one for "Keep".
    Statement passage(db, "INSERT INTO Passages (startbook, startchapter, startverse, endbook, "
                          "endchapter, endverse, username, UserID, scheduledate) "
                          "SELECT 'John', 1, 1, 'John', 1, 2, Name, id, '2026-01-01 00:00:00' "
                          "FROM Users WHERE Name = ?");
    for (const char *name : {"Leave", "Leave", "Keep"}) {
        passage.bindAll(QString::fromLatin1(name)).run();
        Statement(db, "INSERT INTO PassageVerses (passageID, VerseBook, verseChapter, VerseNum, "
                      "ScheduleDate) VALUES (?, 43, 1, 1, '2026-01-01 00:00:00')")
            .bindAll(db.lastInsertId())
            .run();
    }

    window_->userlist->setCurrentRow(1);
    dialogs_->answers = {answer};
    QTest::keyClick(window_->userlist, Qt::Key_Delete, Qt::KeyboardModifiers(modifiers));
    QCOMPARE(dialogs_->questions.size(), asked ? 1 : 0);
    if (asked)
        QCOMPARE(dialogs_->questions.first(),
                 "Are you sure you want to delete this user and all associated passages?");
    QCOMPARE(listed(), deleted ? QStringList{"Keep"} : (QStringList{"Keep", "Leave"}));
    QCOMPARE(test_->count("SELECT count(*) FROM Passages"), deleted ? 1 : 3);
    QCOMPARE(test_->count("SELECT count(*) FROM PassageVerses"), deleted ? 1 : 3);
    QCOMPARE(test_->count("SELECT count(*) FROM PassageVerses v JOIN Passages p "
                          "ON p.id = v.passageID JOIN Users u ON u.id = p.UserID "
                          "WHERE u.Name = 'Keep'"),
             1);
    QCOMPARE(dialogs_->errors, QStringList());

    // Nothing selected: Delete asks nothing.
    window_->userlist->setCurrentRow(-1);
    QTest::keyClick(window_->userlist, Qt::Key_Delete);
    QCOMPARE(dialogs_->questions.size(), asked ? 1 : 0);
}

void TestUsers::windowKeepsItsSize() {
    const QSize size = window_->size();
    QCOMPARE(window_->centralWidget()->size(), QSize(260, 442));
    window_->resize(size * 2);
    QTest::qWait(20);
    QCOMPARE(window_->size(), size);
}

VERSEKEEP_TEST_MAIN(TestUsers, QApplication)
#include "test_users.moc"
