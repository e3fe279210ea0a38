#include "app/application.h"
#include "app/clock.h"
#include "support/recordingdialogs.h"
#include "support/testdatabase.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace {
int visibleWindows() {
    int count = 0;
    for (QWidget *widget : QApplication::topLevelWidgets())
        count += widget->isVisible() ? 1 : 0;
    return count;
}

QWidget *window(const char *name) {
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (widget->objectName() == QLatin1String(name))
            return widget;
    return nullptr;
}
} // namespace

class TestStartup : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void failedStartShowsOneReportAndNoWindow_data();
    void failedStartShowsOneReportAndNoWindow();
    void windowsLeadToEachOther();
    void closingAWindowEndsTheProgramOnce();
};

void TestStartup::failedStartShowsOneReportAndNoWindow_data() {
    QTest::addColumn<QString>("problem");
    QTest::addColumn<int>("number");
    QTest::newRow("no settings") << "no settings" << 14;
    QTest::newRow("missing file") << "missing file" << 14;
    QTest::newRow("folder without separator") << "no separator" << 14;
    QTest::newRow("not a database") << "not a database" << 26;
    QTest::newRow("wrong password") << "wrong password" << 26;
}

void TestStartup::failedStartShowsOneReportAndNoWindow() {
    QFETCH(QString, problem);
    QFETCH(int, number);
    QTemporaryDir dir;
    const QString folder = dir.path() + '/';
    const QString file = dir.filePath(QStringLiteral("versekeep.db"));
    if (problem == "no settings")
        pointSettingsAt(QString(), QString());
    else if (problem == "no separator")
        pointSettingsAt(dir.path(), QStringLiteral("versekeep.db"));
    else
        pointSettingsAt(folder, QStringLiteral("versekeep.db"));
    if (problem == "no separator") {
        Database::createNew(file);
    } else if (problem == "not a database") {
        QFile text(file);
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write(QByteArray("not a database at all\n").repeated(100));
    } else if (problem == "wrong password") {
        Database::createNew(file, "111111111111").execute("CREATE TABLE t (x)");
    }
    const QByteArray before = fingerprint(file);

    RecordingDialogs dialogs;
    SystemClock clock;
    Application app(dialogs, clock);
    QSignalSpy finished(&app, &Application::finished);
    QVERIFY(!app.Main());
    QCOMPARE(dialogs.errorNumbers, QList<int>{number});
    QCOMPARE(dialogs.count(), 1);
    QCOMPARE(visibleWindows(), 0);
    QCOMPARE(finished.count(), 1);
    QCOMPARE(fingerprint(file), before);
    QCOMPARE(QFile::exists(file), !before.isEmpty());
}

void TestStartup::windowsLeadToEachOther() {
    TestDatabase test;
    Statement(test.db(), "INSERT INTO Users (id, Name) VALUES (7, 'Ann')").run();
    pointSettingsAt(test.folder(), QStringLiteral("test.db"));
    RecordingDialogs dialogs;
    SystemClock clock;
    Application app(dialogs, clock);
    QVERIFY(app.Main());
    QWidget *users = window("Users");
    auto *list = users->findChild<QListWidget *>("userlist");
    list->setCurrentRow(0);
    QTest::keyClick(list, Qt::Key_Return);
    QWidget *passages = window("UserPassages");
    QVERIFY(passages && passages->isVisible());
    QVERIFY(!users->isVisible());
    QCOMPARE(passages->findChild<QLabel *>("Uname")->text(), "Ann");
    passages->findChild<QPushButton *>("StartLearning")->click();
    QWidget *quiz = window("Quizzing");
    QVERIFY(quiz && quiz->isVisible());
    QVERIFY(!passages->isVisible());
    quiz->findChild<QAction *>("qMenuPassages")->trigger();
    QVERIFY(passages->isVisible());
    QVERIFY(!quiz->isVisible());
    passages->findChild<QAction *>("pMenuUsers")->trigger();
    QVERIFY(users->isVisible());
    QVERIFY(!passages->isVisible());
    app.ExitProgram();
    QCOMPARE(dialogs.count(), 0);
}

void TestStartup::closingAWindowEndsTheProgramOnce() {
    TestDatabase test;
    pointSettingsAt(test.folder(), QStringLiteral("test.db"));
    RecordingDialogs dialogs;
    SystemClock clock;
    Application app(dialogs, clock);
    QSignalSpy finished(&app, &Application::finished);
    QVERIFY(app.Main());
    QWidget *users = window("Users");
    QVERIFY(users->isVisible());
    QCOMPARE(app.HelpFilePath(), test.folder() + "versekeep.chm");
    QVERIFY(users->close());
    QCOMPARE(finished.count(), 1);
    QVERIFY(!app.dbConn().isOpen());
    QCOMPARE(visibleWindows(), 0);
    app.ExitProgram();
    QCOMPARE(finished.count(), 1);
    QCOMPARE(dialogs.count(), 0);
}

VERSEKEEP_TEST_MAIN(TestStartup, QApplication)
#include "test_startup.moc"
