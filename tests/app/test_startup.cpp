#include "application.h"
#include "clock.h"
#include "recordingdialogs.h"
#include "settings.h"
#include "testdatabase.h"
#include "users.h"

#include <QApplication>
#include <QFile>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>

namespace {
int visibleWindows() {
    int count = 0;
    for (QWidget *widget : QApplication::topLevelWidgets())
        count += widget->isVisible() ? 1 : 0;
    return count;
}
} // namespace

class TestStartup : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void failedStartShowsOneReportAndNoWindow_data();
    void failedStartShowsOneReportAndNoWindow();
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

void TestStartup::closingAWindowEndsTheProgramOnce() {
    TestDatabase test;
    pointSettingsAt(test.folder(), QStringLiteral("test.db"));
    RecordingDialogs dialogs;
    SystemClock clock;
    Application app(dialogs, clock);
    QSignalSpy finished(&app, &Application::finished);
    QVERIFY(app.Main());
    QVERIFY(app.users()->isVisible());
    QCOMPARE(app.HelpFilePath(), test.folder() + "versekeep.chm");
    QVERIFY(app.users()->close());
    QCOMPARE(finished.count(), 1);
    QVERIFY(!app.dbConn().isOpen());
    QCOMPARE(visibleWindows(), 0);
    app.ExitProgram();
    QCOMPARE(finished.count(), 1);
    QCOMPARE(dialogs.count(), 0);
}

VERSEKEEP_TEST_MAIN(TestStartup, QApplication)
#include "test_startup.moc"
