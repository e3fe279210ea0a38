#include "support/windowfixture.h"
#include "gui/users/users.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>

// The user list's wiring: what it stores and shows comes from the user store.
class TestUsers : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void addOpenAndDelete();
};

void TestUsers::addOpenAndDelete() {
    WindowFixture fixture{TestDatabase()};
    Statement(fixture.test.db(), "INSERT INTO Users (id, Name) VALUES (40000, 'Ann')").run();
    Users window(fixture.context(), fixture.navigation);
    window.show();
    QCOMPARE(entries(window.userlist), QStringList{"Ann"});
    window.User->setText("Bob");
    QTest::keyClick(window.User, Qt::Key_Return);
    window.User->setText("  ");
    QTest::mouseClick(window.AddButton, Qt::LeftButton); // a blank name adds nothing
    QCOMPARE(entries(window.userlist), (QStringList{"Ann", "Bob"}));
    QCOMPARE(window.User->text(), "  "); // the box keeps its text
    window.User->setText("Ann\nLee");
    QTest::keyClick(window.User, Qt::Key_Return);
    QCOMPARE(fixture.dialogs.informations,
             QStringList{"Invalid Name: A name cannot hold line breaks, tabs or other control "
                         "characters."});

    // Delete asks first; Cancel keeps the user.
    window.userlist->setCurrentRow(1);
    fixture.dialogs.answers = {false, true};
    QTest::keyClick(window.userlist, Qt::Key_Delete);
    QCOMPARE(entries(window.userlist), (QStringList{"Ann", "Bob"}));
    QTest::keyClick(window.userlist, Qt::Key_Delete);
    QCOMPARE(entries(window.userlist), QStringList{"Ann"});
    QCOMPARE(fixture.dialogs.questions,
             QStringList(2, "Are you sure you want to delete this user and all associated passages?"));

    // Enter opens only a chosen user.
    window.userlist->setCurrentRow(-1);
    QTest::keyClick(window.userlist, Qt::Key_Return);
    QVERIFY(window.isVisible());
    window.userlist->setCurrentRow(0);
    QTest::keyClick(window.userlist, Qt::Key_Return);
    QCOMPARE(fixture.navigation.calls, QStringList{"passages Ann 40000"});
    QVERIFY(!window.isVisible());
    QCOMPARE(fixture.dialogs.errors, QStringList());
}

VERSEKEEP_TEST_MAIN(TestUsers, QApplication)
#include "test_users.moc"
