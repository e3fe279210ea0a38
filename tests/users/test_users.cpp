#include "users.h"
#include "windowfixture.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>

// The user list through the real window, on a private database.
class TestUsers : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void addStoresTheNameAsTyped_data();
    void addStoresTheNameAsTyped();
    void blankNameAddsNothingButRefills();
    void sameNamesTwiceInNameOrder();
    void deleteAsksAndRemovesEverything_data();
    void deleteAsksAndRemovesEverything();
    void windowKeepsItsSize();

private:
    void add(const QString &name);
    qint64 count(const char *sql) { return fixture_->test.count(sql); }

    std::unique_ptr<WindowFixture> fixture_;
    Users *window_ = nullptr;
};

void TestUsers::init() {
    fixture_ = std::make_unique<WindowFixture>(TestDatabase());
    QVERIFY(fixture_->started);
    window_ = fixture_->app.users();
    QVERIFY(QTest::qWaitForWindowExposed(window_));
}

void TestUsers::cleanup() {
    QCOMPARE(fixture_->dialogs.errors, QStringList());
    fixture_.reset();
}

void TestUsers::add(const QString &name) {
    window_->User->setText(name);
    QTest::mouseClick(window_->AddButton, Qt::LeftButton);
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
    QCOMPARE(entries(window_->userlist), QStringList{name});
    Statement stored(fixture_->test.db(), "SELECT Name FROM Users");
    QVERIFY(stored.next());
    QCOMPARE(stored.text("name"), name);
    QCOMPARE(window_->User->text(), name);
    QCOMPARE(fixture_->dialogs.count(), 0);
}

void TestUsers::blankNameAddsNothingButRefills() {
    // A user added behind the window's back shows up once the list is refilled.
    Statement(fixture_->test.db(), "INSERT INTO Users (Name) VALUES ('Other')").run();
    for (const QString &blank : {QString(), QStringLiteral("   "), QStringLiteral("\t ")}) {
        add(blank);
        QCOMPARE(entries(window_->userlist), QStringList{"Other"});
    }
    QCOMPARE(count("SELECT count(*) FROM Users"), 1);
    QCOMPARE(fixture_->dialogs.count(), 0);
}

void TestUsers::sameNamesTwiceInNameOrder() {
    for (const char *name : {"carl", "Bob", "alice"})
        add(QString::fromLatin1(name));
    window_->User->setText("Bob");
    QTest::keyClick(window_->User, Qt::Key_Return); // Enter adds, once

    QCOMPARE(entries(window_->userlist), (QStringList{"alice", "Bob", "Bob", "carl"}));
    QCOMPARE(count("SELECT count(DISTINCT id) FROM Users"), 4);
}

void TestUsers::deleteAsksAndRemovesEverything_data() {
    addDeleteKeyRows();
}

void TestUsers::deleteAsksAndRemovesEverything() {
    QFETCH(int, modifiers);
    QFETCH(bool, answer);
    const bool asked = modifiers == Qt::NoModifier;
    const bool deleted = asked && answer;
    add("Keep");
    add("Leave");
    Database &db = fixture_->test.db();
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
    fixture_->dialogs.answers = {answer};
    QTest::keyClick(window_->userlist, Qt::Key_Delete, Qt::KeyboardModifiers(modifiers));
    const QStringList question{
        "Are you sure you want to delete this user and all associated passages?"};
    QCOMPARE(fixture_->dialogs.questions, asked ? question : QStringList());
    QCOMPARE(entries(window_->userlist),
             deleted ? QStringList{"Keep"} : (QStringList{"Keep", "Leave"}));
    QCOMPARE(count("SELECT count(*) FROM Passages"), deleted ? 1 : 3);
    QCOMPARE(count("SELECT count(*) FROM PassageVerses"), deleted ? 1 : 3);
    QCOMPARE(count("SELECT count(*) FROM PassageVerses v JOIN Passages p ON p.id = v.passageID "
                   "JOIN Users u ON u.id = p.UserID WHERE u.Name = 'Keep'"),
             1);

    // Nothing selected: Delete asks nothing.
    window_->userlist->setCurrentRow(-1);
    QTest::keyClick(window_->userlist, Qt::Key_Delete);
    QCOMPARE(fixture_->dialogs.questions.size(), asked ? 1 : 0);
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
