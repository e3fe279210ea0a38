#include "app/application.h"
#include "core/clock.h"
#include "core/settings.h"
#include "db/backup.h"
#include "db/inuse.h"
#include "store/passages.h"
#include "support/windowfixture.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

namespace {
QStringList shownWindows() {
    QStringList names;
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (widget->isVisible())
            names << widget->objectName();
    names.sort();
    return names;
}

QWidget *window(const char *name) {
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (widget->objectName() == QLatin1String(name))
            return widget;
    return nullptr;
}

// A control used as a learner uses it: a menu item chosen, a button pressed, Enter on an
// entry of a list; with no control, the window closed.
void use(const char *windowName, const char *name, int row = 0) {
    QWidget *target = window(windowName);
    QObject *control = name ? child<QObject>(target, name) : nullptr;
    if (auto *item = qobject_cast<QAction *>(control)) {
        item->trigger();
    } else if (auto *button = qobject_cast<QPushButton *>(control)) {
        button->click();
    } else if (auto *list = qobject_cast<QListWidget *>(control)) {
        list->setCurrentRow(row);
        QTest::keyClick(list, Qt::Key_Return);
    } else {
        target->close();
    }
}

QString passageCount() { return child<QLabel>(window("Progress"), "passageCount")->text(); }

const PassageRange john11v35{{43, "John", 11, 35}, {43, "John", 11, 35}};
} // namespace

// The program as a learner starts it, its message boxes and the system's programs recorded.
struct Program {
    RecordingDialogs dialogs;
    SystemClock clock;
    RecordingDesktop desktop;
    Application app{dialogs, clock, desktop};
};

// The program from its start to its end: settings, the database, the windows in turn.
class TestStartup : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void failedStartShowsOneReportAndNoWindow_data();
    void failedStartShowsOneReportAndNoWindow();
    void firstStartAsksForTheBible();
    void windowsLeadToEachOtherAndCloseOnce();
    void restoredFromTheUserList();
};

void TestStartup::failedStartShowsOneReportAndNoWindow_data() {
    QTest::addColumn<QString>("problem");
    QTest::addColumn<int>("number");
    QTest::newRow("missing file") << "missing file" << 14;
    QTest::newRow("folder without separator") << "no separator" << 14;
    QTest::newRow("wrong password") << "wrong password" << 26;
    QTest::newRow("an empty file, not a Versekeep database") << "empty file" << 26;
}

void TestStartup::failedStartShowsOneReportAndNoWindow() {
    QFETCH(QString, problem);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("versekeep.db"));
    pointSettingsAt(dir.path() + (problem == "no separator" ? "" : "/"), "versekeep.db");
    if (problem == "no separator") {
        Database::createNew(file);
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
    VERIFY_HOLDS(p.dialogs.errors[0], Settings::fileName());
    VERIFY_HOLDS(p.dialogs.errors[0], dir.path());
    QCOMPARE(shownWindows(), QStringList());
    QCOMPARE(finished.count(), 1);
    QCOMPARE(fingerprint(file), before); // nothing made, nothing changed
    QCOMPARE(QFile::exists(file), !before.isEmpty());
}

void TestStartup::firstStartAsksForTheBible() {
    pointSettingsAt(QString(), QString());
    const QString file = defaultDatabaseFile();
    // Left at once, nothing is made and nothing said; the next start asks again and makes
    // the Bible chosen, records it in the settings and shows the user list.
    for (const QString keys : {"Escape", "Down Down Return"}) {
        Program p;
        QTimer::singleShot(0, [&] {
            for (const QString &key : keys.split(' '))
                QTest::keyClick(child<QWidget>(window("FirstStart"), "bibleList"),
                                QKeySequence::fromString(key)[0].key());
        });
        const bool started = p.app.Main();
        QCOMPARE(p.dialogs.count(), 0);
        QCOMPARE(shownWindows(), started ? QStringList{"Users"} : QStringList());
        QCOMPARE(QFile::exists(file), started);
        QCOMPARE(Settings::databaseLocation().filePath(), started ? file : "");
        if (!started)
            continue;
        use("Users", "MenuAbout");
        QCOMPARE(child<QLabel>(window("frmAbout"), "lblBible")->text(),
                 "Bible: Reina Valera 1909 (RV1909)");
        p.app.ExitProgram();
    }
}

void TestStartup::windowsLeadToEachOtherAndCloseOnce() {
    // Bob has a passage; the database is from before it named its Bible; a file is where the
    // backups would go.
    TestDatabase test = TestDatabase::withBible();
    test.db().execute("INSERT INTO Users (id, Name) VALUES (40000, 'Ann'), (40001, 'Bob');"
                      "DROP TABLE Bible");
    addPassage(test.db(), SystemClock(), john11v35, "Bob", 40001);
    QVERIFY(QFile(test.folder() + "backups").open(QIODevice::WriteOnly));
    pointSettingsAt(test.folder(), QStringLiteral("test.db"));
    Program p;
    QSignalSpy finished(&p.app, &Application::finished);
    QVERIFY(p.app.Main());
    QTRY_COMPARE(p.dialogs.errors.size(), 1); // told beside the windows
    VERIFY_HOLDS(p.dialogs.errors[0], "backup");
    const QString help = test.folder() + "versekeep.chm";
    QVERIFY(QFile::exists(help)); // put beside the database at the first start

    // About: one window at a time, gone once closed, so that the next is made afresh.
    use("Users", "MenuAbout");
    QWidget *about = window("frmAbout");
    QCOMPARE(child<QLabel>(about, "lblBible")->text(), ""); // a database that names no Bible
    for (const char *link : {"mailaddy", "webaddy"})
        QTest::mouseClick(child<QLabel>(about, link), Qt::LeftButton, {}, QPoint(8, 8));
    use("Users", "MenuAbout");
    QCOMPARE(shownWindows(), (QStringList{"Users", "frmAbout"}));
    QTest::keyClick(about, Qt::Key_Escape);
    QTRY_VERIFY(!window("frmAbout"));

    // Each step: a window's control used (none: the window closed), the windows then on show,
    // and the passages the progress window counts: it follows whoever's passages are open.
    const std::tuple<const char *, const char *, int, QStringList, QString> walk[] = {
        {"Users", "uHelp", 0, {"Users"}, ""},
        {"Users", "userlist", 0, {"UserPassages"}, ""},
        {"UserPassages", "pMenuProgress", 0, {"Progress", "UserPassages"}, "0"},
        {"UserPassages", "StartLearning", 0, {"Progress", "Quizzing"}, "0"},
        {"Quizzing", "qMenuUsers", 0, {"Progress", "Users"}, "0"},
        {"Users", "userlist", 1, {"Progress", "UserPassages"}, "1"},
        {"UserPassages", "pHelp", 0, {"Progress", "UserPassages"}, "1"},
        {"Progress", nullptr, 0, {"UserPassages"}, "1"}, // closing it only hides it
        {"UserPassages", "StartLearning", 0, {"Quizzing"}, "1"},
        {"Quizzing", "qHelp", 0, {"Quizzing"}, "1"},
        {"Quizzing", "qMenuProgress", 0, {"Progress", "Quizzing"}, "1"},
        {"Quizzing", "qMenuPassages", 0, {"Progress", "UserPassages"}, "1"},
    };
    for (const auto &[name, control, row, shown, passages] : walk) {
        use(name, control, row);
        QCOMPARE(shownWindows(), shown);
        QCOMPARE(window("Progress") ? passageCount() : "", passages);
    }
    QCOMPARE(p.desktop.opened, (QStringList{"mailto:versekeep@tarnholm.example",
                                            "https://www.tarnholm.example/versekeep"} +
                                QStringList(3, help)));
    p.desktop.helpViewer = false; // none to start: said once, with the file's path
    for (int time = 0; time < 2; ++time)
        use("UserPassages", "pHelp");
    QCOMPARE(p.dialogs.informations.size(), 1);
    VERIFY_HOLDS(p.dialogs.informations[0], help);
    // The figures change; what a window tells of it, the progress window on show reads afresh.
    for (const auto &[name, signal] : {std::pair{"UserPassages", "passageAdded"},
                                       {"UserPassages", "passageDeleted"}, {"Quizzing", "pageJudged"}}) {
        const QString before = passageCount();
        addPassage(test.db(), p.clock, john11v35, "Bob", 40001);
        QVERIFY(QMetaObject::invokeMethod(window(name), signal));
        QTRY_COMPARE(passageCount(), QString::number(before.toInt() + 1));
    }

    // Closing any window ends the program, once, with the database closed.
    use("UserPassages", "pMenuUsers");
    QVERIFY(window("Users")->close());
    QCOMPARE(finished.count(), 1);
    QVERIFY(!p.app.dbConn().isOpen());
    QCOMPARE(shownWindows(), QStringList());
    p.app.ExitProgram();
    QCOMPARE(finished.count(), 1);
    QCOMPARE(p.dialogs.count(), 2);
}

void TestStartup::restoredFromTheUserList() {
    TestDatabase test; // with the one verse it needs: copies of a small file are quick
    test.db().execute("INSERT INTO Users (id, Name) VALUES (1, 'Ann');"
                      "INSERT INTO kjv VALUES (43, 'John', 11, 35, 'Jesus wept.')");
    backUpDatabase(test.path(), QDateTime::currentDateTime().addDays(-3));
    test.db().execute("INSERT INTO Users (id, Name) VALUES (2, 'Bob')");
    addPassage(test.db(), SystemClock(), john11v35, "Bob", 2);
    pointSettingsAt(test.folder(), QStringLiteral("test.db"));
    Program p;
    QVERIFY(p.app.Main());
    QTRY_COMPARE(backupCopies(test.path()).size(), 2); // that one and today's
    use("Users", "userlist", 1);
    use("UserPassages", "pMenuProgress");
    use("UserPassages", "pMenuUsers");
    auto *users = child<QListWidget>(window("Users"), "userlist");
    // Each try: another copy of the program running, the answer to the question, and how
    // the older copy is chosen: Enter, or a double click.
    for (const auto &[running, answer, enter] :
         {std::tuple{false, false, false}, {true, true, true}, {false, true, true}}) {
        std::unique_ptr<InUse> other =
            running ? InUse::take(test.path(), InUse::Shared, 0) : nullptr;
        p.dialogs.answers = {answer};
        use("Users", "menuRestore");
        auto *list = child<QTreeWidget>(window("RestoreBackup"), "backupList");
        QCOMPARE(list->topLevelItem(0)->text(1), "Ann (0 passages), Bob (1 passage)");
        QCOMPARE(list->topLevelItem(1)->text(1), "Ann (0 passages)");
        if (enter) {
            list->setCurrentItem(list->topLevelItem(1));
            QTest::keyClick(list, Qt::Key_Return);
        } else {
            QVERIFY(QTest::qWaitForWindowExposed(list->window()));
            const QPoint at = list->visualItemRect(list->topLevelItem(1)).center();
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
        }
        QTRY_VERIFY(!window("RestoreBackup"));
        QCOMPARE(entries(users),
                 (running || !answer ? QStringList{"Ann", "Bob"} : QStringList{"Ann"}));
        // Nothing shows the file as it was.
        QCOMPARE(shownWindows(),
                 (answer ? QStringList{"Users"} : QStringList{"Progress", "Users"}));
    }
    VERIFY_HOLDS(p.dialogs.errors.value(0),
                 "5 Nothing was restored. Another copy of Versekeep has the database open");
    VERIFY_HOLDS(p.dialogs.informations.value(0), " is restored: Versekeep holds Ann (0 passages)."
                                                  "\n\nYour database as it was is kept as " +
                                                      test.folder() + "backups/");
    QCOMPARE(p.dialogs.count(), 5);
    use("Users", "userlist", 0); // the program goes on with the file restored
    QCOMPARE(shownWindows(), QStringList{"UserPassages"});
    p.app.ExitProgram();
}

VERSEKEEP_TEST_MAIN(TestStartup, QApplication)
#include "test_startup.moc"
