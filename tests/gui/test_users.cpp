#include "gui/users/users.h"
#include "support/windowfixture.h"

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
    Statement(fixture.test.db(), "INSERT INTO Users (id, Name) VALUES (7, 'Ann')").run();
    Users window(fixture.context(), fixture.navigation);
    window.show();
    auto *name = child<QLineEdit>(&window, "User");
    auto *list = child<QListWidget>(&window, "userlist");
    QCOMPARE(entries(list), QStringList{"Ann"});
    name->setText("Bob");
    QTest::keyClick(name, Qt::Key_Return);
    name->setText("Ann\nLee");
    QTest::mouseClick(child<QPushButton>(&window, "AddButton"), Qt::LeftButton);
    QCOMPARE(entries(list), (QStringList{"Ann", "Bob"}));
    QCOMPARE(name->text(), "Ann\nLee"); // the box keeps its text
    QCOMPARE(fixture.dialogs.informations,
             QStringList{"Invalid Name: A name cannot hold line breaks, tabs or other control "
                         "characters."});

    // Delete asks first; Cancel keeps the user.
    list->setCurrentRow(1);
    fixture.dialogs.answers = {false, true};
    QTest::keyClick(list, Qt::Key_Delete);
    QCOMPARE(entries(list), (QStringList{"Ann", "Bob"}));
    QTest::keyClick(list, Qt::Key_Delete);
    QCOMPARE(entries(list), QStringList{"Ann"});
    QCOMPARE(fixture.dialogs.questions,
             QStringList(2, "Are you sure you want to delete this user and all associated passages?"));

    // Enter opens only a chosen user (the program's walk in test_startup opens one).
    list->setCurrentRow(-1);
    QTest::keyClick(list, Qt::Key_Return);
    QCOMPARE(fixture.navigation.calls, QStringList());
    QCOMPARE(fixture.dialogs.errors, QStringList());
}

VERSEKEEP_TEST_MAIN(TestUsers, QApplication)
#include "test_users.moc"
