#include "support/windowfixture.h"
#include "users/users.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>

// The user list through the real window, on a private database.
class TestUsers : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void addShowsTheNameAndRefills();
    void openingAUserLeadsToTheirPassages();
    void deleteAsksAndRemovesEverything_data();
    void deleteAsksAndRemovesEverything();

private:
    void add(const QString &name);

    std::unique_ptr<WindowFixture> fixture_;
    std::unique_ptr<Users> window_;
};

void TestUsers::init() {
    fixture_ = std::make_unique<WindowFixture>(TestDatabase());
    window_ = std::make_unique<Users>(fixture_->context(), fixture_->navigation);
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
}

void TestUsers::cleanup() {
    QCOMPARE(fixture_->dialogs.errors, QStringList());
    window_.reset();
    fixture_.reset();
}

void TestUsers::add(const QString &name) {
    window_->User->setText(name);
    QTest::mouseClick(window_->AddButton, Qt::LeftButton);
}

void TestUsers::addShowsTheNameAndRefills() {
    add("O'Brien");
    QCOMPARE(entries(window_->userlist), QStringList{"O'Brien"});
    QCOMPARE(window_->User->text(), "O'Brien"); // the box keeps its text
    window_->User->setText("Bob");
    QTest::keyClick(window_->User, Qt::Key_Return); // Enter adds, once
    QCOMPARE(entries(window_->userlist), (QStringList{"Bob", "O'Brien"}));

    // A blank name adds nothing, but a user added behind the window's back shows up.
    Statement(fixture_->test.db(), "INSERT INTO Users (Name) VALUES ('Other')").run();
    add("  ");
    QCOMPARE(entries(window_->userlist), (QStringList{"Bob", "O'Brien", "Other"}));
    QCOMPARE(fixture_->test.count("SELECT count(*) FROM Users"), 3);
    QCOMPARE(fixture_->dialogs.count(), 0);
}

void TestUsers::openingAUserLeadsToTheirPassages() {
    Statement(fixture_->test.db(), "INSERT INTO Users (id, Name) VALUES (40000, 'Ann')").run();
    add("Bob");
    // Nothing chosen: Enter does nothing.
    window_->userlist->setCurrentRow(-1);
    QTest::keyClick(window_->userlist, Qt::Key_Return);
    QCOMPARE(fixture_->navigation.calls, QStringList());
    QVERIFY(window_->isVisible());

    chooseEntry(window_->userlist, "Ann");
    QTest::keyClick(window_->userlist, Qt::Key_Return);
    QCOMPARE(fixture_->navigation.calls, QStringList{"passages Ann 40000"});
    QVERIFY(!window_->isVisible());
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
    Statement(fixture_->test.db(), "INSERT INTO Passages (startbook, startchapter, startverse, "
                                   "endbook, endchapter, endverse, username, UserID, scheduledate) "
                                   "SELECT 'John', 1, 1, 'John', 1, 2, Name, id, '2026-01-01' "
                                   "FROM Users")
        .run();

    window_->userlist->setCurrentRow(1);
    fixture_->dialogs.answers = {answer};
    QTest::keyClick(window_->userlist, Qt::Key_Delete, Qt::KeyboardModifiers(modifiers));
    const QStringList question{
        "Are you sure you want to delete this user and all associated passages?"};
    QCOMPARE(fixture_->dialogs.questions, asked ? question : QStringList());
    QCOMPARE(entries(window_->userlist),
             deleted ? QStringList{"Keep"} : (QStringList{"Keep", "Leave"}));
    QCOMPARE(fixture_->test.count("SELECT count(*) FROM Passages"), deleted ? 1 : 2);

    // Nothing selected: Delete asks nothing.
    window_->userlist->setCurrentRow(-1);
    QTest::keyClick(window_->userlist, Qt::Key_Delete);
    QCOMPARE(fixture_->dialogs.questions.size(), asked ? 1 : 0);
}

VERSEKEEP_TEST_MAIN(TestUsers, QApplication)
#include "test_users.moc"
