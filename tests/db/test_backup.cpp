#include "core/clock.h"
#include "db/backup.h"
#include "support/testdatabase.h"

#include <QDir>
#include <QTest>

class TestBackup : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void onceADayEncryptedAndChecked();
    void keepsSevenDailyAndFourWeekly();
};

namespace {
QDateTime at(const char *text) { return fromDbText(QString::fromLatin1(text)); }

QStringList files(const QString &folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}
} // namespace

void TestBackup::onceADayEncryptedAndChecked() {
    TestDatabase test;
    test.db().execute("INSERT INTO Users (Name) VALUES ('Ann')");
    // A copy that fails its check is reported, and nothing of it stays.
    QString reported;
    try {
        backUpDatabase(test.path(), at("2026-12-06 10:00:00"), [](const QString &copy) {
            Database db(copy); // an index whose pages belong to nothing any more
            db.execute("PRAGMA writable_schema = ON");
            db.execute("DELETE FROM sqlite_master WHERE name = 'UsersByName'");
        });
    } catch (const Error &error) {
        reported = error.description();
    }
    QVERIFY2(reported.startsWith("the copy failed its check: "), qPrintable(reported));
    QCOMPARE(files(backupFolder(test.path())), QStringList());

    const QString made = backUpDatabase(test.path(), at("2026-12-06 10:30:00"));
    QCOMPARE(files(backupFolder(test.path())), QStringList{"test-2026-12-06-103000.db"});
    QFile file(made);
    QVERIFY(file.open(QIODevice::ReadOnly) && !file.read(16).startsWith("SQLite format 3"));
    Database copy(made);
    Statement user(copy, "SELECT Name FROM Users");
    QVERIFY(user.next() && user.text(0) == "Ann");
    QCOMPARE(backUpDatabase(test.path(), at("2026-12-06 23:59:00")), QString());
    QVERIFY(!backUpDatabase(test.path(), at("2026-12-07 00:00:00")).isEmpty());
}

void TestBackup::keepsSevenDailyAndFourWeekly() {
    TestDatabase test;
    const QString folder = backupFolder(test.path());
    QVERIFY(QDir().mkpath(folder));
    // Two copies a day since October, a stale part of a program long gone, and files of
    // someone else's.
    QStringList made{".test-2026-12-01-090000.db.999999999.part", "notes.txt", "test-old.db"};
    for (QDate day(2026, 10, 1); day < QDate(2026, 12, 6); day = day.addDays(1))
        for (const char *time : {"-080000", "-200000"})
            made << "test-" + day.toString("yyyy-MM-dd") + time + ".db";
    for (const QString &name : made)
        QVERIFY(QFile(folder + '/' + name).open(QIODevice::WriteOnly));
    backUpDatabase(test.path(), at("2026-12-06 10:30:00"));
    // Sunday 6 December: the newest of each day of its week, then of each of four weeks.
    QCOMPARE(files(folder),
             (QStringList{"notes.txt", "test-2026-11-08-200000.db", "test-2026-11-15-200000.db",
                          "test-2026-11-22-200000.db", "test-2026-11-29-200000.db",
                          "test-2026-11-30-200000.db", "test-2026-12-01-200000.db",
                          "test-2026-12-02-200000.db", "test-2026-12-03-200000.db",
                          "test-2026-12-04-200000.db", "test-2026-12-05-200000.db",
                          "test-2026-12-06-103000.db", "test-old.db"}));
}

QTEST_GUILESS_MAIN(TestBackup)
#include "test_backup.moc"
