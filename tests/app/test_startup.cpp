#include "app/application.h"
#include "core/clock.h"
#include "core/settings.h"
#include "store/passages.h"
#include "support/recordingdialogs.h"
#include "support/testdatabase.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace {
QStringList shownWindows() {
    QStringList names;
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (widget->isVisible())
            names << widget->objectName();
    return names;
}

QWidget *window(const char *name) {
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (widget->objectName() == QLatin1String(name))
            return widget;
    return nullptr;
}
} // namespace

// The program from its start to its end: settings, the database, the windows in turn.
// The program as a learner starts it, its message boxes and the system's programs recorded.
struct Program {
    RecordingDialogs dialogs;
    SystemClock clock;
    RecordingDesktop desktop;
    Application app{dialogs, clock, desktop};
};

class TestStartup : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void failedStartShowsOneReportAndNoWindow_data();
    void failedStartShowsOneReportAndNoWindow();
    void windowsLeadToEachOtherAndCloseOnce();
    void aFailedBackupIsToldOnce();
    void helpAndAbout();
};

void TestStartup::failedStartShowsOneReportAndNoWindow_data() {
    QTest::addColumn<QString>("problem");
    QTest::addColumn<int>("number");
    QTest::newRow("no settings") << "no settings" << 14;
    QTest::newRow("missing file") << "missing file" << 14;
    QTest::newRow("folder without separator") << "no separator" << 14;
    QTest::newRow("not a database") << "not a database" << 26;
    QTest::newRow("wrong password") << "wrong password" << 26;
    QTest::newRow("an empty file, not a Versekeep database") << "empty file" << 26;
}

void TestStartup::failedStartShowsOneReportAndNoWindow() {
    QFETCH(QString, problem);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("versekeep.db"));
    if (problem == "no settings")
        pointSettingsAt(QString(), QString());
    else
        pointSettingsAt(dir.path() + (problem == "no separator" ? "" : "/"), "versekeep.db");
    if (problem == "no separator") {
        Database::createNew(file);
    } else if (problem == "not a database") {
        QFile text(file);
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write(QByteArray("not a database at all\n").repeated(100));
    } else if (problem == "wrong password") {
        Database::createNew(file, "111111111111").execute("CREATE TABLE t (x)");
    } else if (problem == "empty file") {
        QFile(file).open(QIODevice::WriteOnly);
    }
    const QByteArray before = fingerprint(file);

    Program p;
    QSignalSpy finished(&p.app, &Application::finished);
    QVERIFY(!p.app.Main());
    QTEST(p.dialogs.errorNumbers.value(0), "number");
    QCOMPARE(p.dialogs.count(), 1);
    // The report says which file was tried and where that is set.
    QVERIFY2(p.dialogs.errors[0].contains(Settings::fileName()) &&
                 (problem == "no settings" || p.dialogs.errors[0].contains(dir.path())),
             qPrintable(p.dialogs.errors[0]));
    QCOMPARE(shownWindows(), QStringList());
    QCOMPARE(finished.count(), 1);
    QCOMPARE(fingerprint(file), before); // nothing made, nothing changed
    QCOMPARE(QFile::exists(file), !before.isEmpty());
}

void TestStartup::windowsLeadToEachOtherAndCloseOnce() {
    TestDatabase test;
    Statement(test.db(), "INSERT INTO Users (id, Name) VALUES (7, 'Ann')").run();
    pointSettingsAt(test.folder(), QStringLiteral("test.db"));
    Program p;
    QSignalSpy finished(&p.app, &Application::finished);
    QVERIFY(p.app.Main());
    QCOMPARE(p.app.HelpFilePath(), test.folder() + "versekeep.chm");
    QTRY_COMPARE(QDir(test.folder() + "backups").entryList(QDir::Files).size(), 1);
    QCOMPARE(shownWindows(), QStringList{"Users"});
    auto *list = window("Users")->findChild<QListWidget *>("userlist");
    list->setCurrentRow(0);
    QTest::keyClick(list, Qt::Key_Return);
    QCOMPARE(shownWindows(), QStringList{"UserPassages"});
    QCOMPARE(window("UserPassages")->findChild<QLabel *>("Uname")->text(), "Ann");
    // Progress: one window beside the passages, following their user and every judged page.
    window("UserPassages")->findChild<QAction *>("pMenuProgress")->trigger();
    p.app.showProgress("Ann", 7);
    Statement(test.db(), "INSERT INTO Users (id, Name) VALUES (8, 'Bob')").run();
    p.app.showPassages("Bob", 8);
    addPassage(test.db(), p.clock, {{43, "John", 11, 35}, {43, "John", 11, 35}}, "Bob", 8);
    p.app.pageJudged();
    QCOMPARE(window("Progress")->findChild<QLabel *>("passageCount")->text(), "1");
    QVERIFY(window("Progress")->close()); // only hides it
    QCOMPARE(shownWindows(), QStringList{"UserPassages"});
    window("UserPassages")->findChild<QPushButton *>("StartLearning")->click();
    QCOMPARE(shownWindows(), QStringList{"Quizzing"});
    window("Quizzing")->findChild<QAction *>("qMenuPassages")->trigger();
    QCOMPARE(shownWindows(), QStringList{"UserPassages"});
    window("UserPassages")->findChild<QAction *>("pMenuUsers")->trigger();
    QCOMPARE(shownWindows(), QStringList{"Users"});

    // Closing any window ends the program, once, with the database closed.
    QVERIFY(window("Users")->close());
    QCOMPARE(finished.count(), 1);
    QVERIFY(!p.app.dbConn().isOpen());
    QCOMPARE(shownWindows(), QStringList());
    p.app.ExitProgram();
    QCOMPARE(finished.count(), 1);
    QCOMPARE(p.dialogs.count(), 0);
}

void TestStartup::aFailedBackupIsToldOnce() {
    TestDatabase test;
    QVERIFY(QFile(test.folder() + "backups").open(QIODevice::WriteOnly)); // in the way
    pointSettingsAt(test.folder(), QStringLiteral("test.db"));
    Program p;
    QVERIFY(p.app.Main());
    QTRY_COMPARE(p.dialogs.errors.size(), 1);
    QVERIFY2(p.dialogs.errors[0].contains("backup"), qPrintable(p.dialogs.errors[0]));
    QCOMPARE(shownWindows(), QStringList{"Users"});
    p.app.ExitProgram();
}

void TestStartup::helpAndAbout() {
    TestDatabase test;
    pointSettingsAt(test.folder(), QStringLiteral("test.db"));
    Program p;
    QVERIFY(p.app.Main());
    const QString help = test.folder() + "versekeep.chm";
    QVERIFY(QFile::exists(help)); // put beside the database at the first start
    p.app.showPassages("Ann", 1);
    p.app.startQuiz("Ann", 1);
    for (const auto &[name, item] : {std::pair{"Users", "uHelp"}, std::pair{"UserPassages", "pHelp"},
                                     std::pair{"Quizzing", "qHelp"}})
        window(name)->findChild<QAction *>(item)->trigger();
    QCOMPARE(p.desktop.opened, QStringList(3, help));
    p.desktop.helpViewer = false; // none to start: said once, with the file's path
    for (int time = 0; time < 2; ++time)
        window("Users")->findChild<QAction *>("uHelp")->trigger();
    QCOMPARE(p.dialogs.informations.size(), 1);
    QVERIFY(p.dialogs.informations[0].contains(help));

    // About: one window at a time, made afresh after it closes by Enter or Escape.
    p.desktop.opened.clear();
    for (const int key : {Qt::Key_Return, Qt::Key_Escape}) {
        for (const char *item : {"MenuAbout", "MenuAbout"})
            window("Users")->findChild<QAction *>(item)->trigger();
        QWidget *about = window("frmAbout");
        QCOMPARE(QApplication::topLevelWidgets().count(about), 1);
        QCOMPARE(about->findChild<QLabel *>("lblVersion")->text(), "Version 1.0.0");
        QCOMPARE(about->windowTitle(), "About Versekeep");
        for (const char *link : {"mailaddy", "webaddy"})
            QTest::mouseClick(about->findChild<QLabel *>(link), Qt::LeftButton, {}, QPoint(8, 8));
        QTest::keyClick(about, Qt::Key(key));
        QTRY_VERIFY(!window("frmAbout"));
    }
    const QStringList links{"mailto:versekeep@tarnholm.example",
                            "https://www.tarnholm.example/versekeep"};
    QCOMPARE(p.desktop.opened, links + links);
    p.app.ExitProgram();
}

VERSEKEEP_TEST_MAIN(TestStartup, QApplication)
#include "test_startup.moc"
