#include "core/clock.h"
#include "db/backup.h"
#include "support/testdatabase.h"

#include <QDir>
#include <QTest>

class TestBackup : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void failedCheckLeavesNothing();
    void rotation_data();
    void rotation();
};

namespace {
QDateTime at(const char *text) { return fromDbText(QString::fromLatin1(text)); }

// The files of a folder; copies of test.db as the moment they were made ("2026-12-06 10:30").
QStringList files(const QString &folder) {
    QStringList names;
    for (const QString &name : QDir(folder).entryList(QDir::Files | QDir::Hidden)) {
        const QDateTime made = backupMadeAt("test.db", name);
        names << (made.isValid() ? made.toString("yyyy-MM-dd HH:mm") : name);
    }
    names.sort();
    return names;
}

QString copyName(QString moment) { return "test-" + moment.replace(' ', '-').remove(':') + "00.db"; }

// Starts at the times given on each of count days from the first.
QStringList days(const char *first, int count, const QStringList &times) {
    QStringList moments;
    for (int i = 0; i < count; ++i)
        for (const QString &time : times)
            moments << QDate::fromString(first, Qt::ISODate).addDays(i).toString(Qt::ISODate) + ' ' + time;
    return moments;
}
} // namespace

// A copy that fails its check is reported, and nothing of it stays. (A good copy is read
// with the key by the restores and the rotation.)
void TestBackup::failedCheckLeavesNothing() {
    TestDatabase test;
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
    VERIFY_HOLDS(reported, "the copy failed its check: ");
    QCOMPARE(files(backupFolder(test.path())), QStringList());
}

void TestBackup::rotation_data() {
    QTest::addColumn<QStringList>("copies"); // there before, made at these moments
    QTest::addColumn<QStringList>("others"); // empty files there before
    QTest::addColumn<QStringList>("starts");
    QTest::addColumn<QStringList>("kept");
    QTest::addColumn<QStringList>("apart");
    QTest::addColumn<QStringList>("unreadable");

    // Sunday 6 December: the newest of each day of its week, then of each of four weeks. A
    // stale part of a program long gone goes; someone else's files stay.
    QTest::newRow("seven days, four weeks")
        << days("2026-10-01", 66, {"08:00", "20:00"})
        << QStringList{".test-2026-12-01-090000.db.999999999.part", "notes.txt", "test-old.db",
                       copyName("2026-12-05 23:00")}
        << QStringList{"2026-12-06 10:30"}
        << QStringList{"2026-11-08 20:00", "2026-11-15 20:00", "2026-11-22 20:00",
                       "2026-11-29 20:00", "2026-11-30 20:00", "2026-12-01 20:00",
                       "2026-12-02 20:00", "2026-12-03 20:00", "2026-12-04 20:00",
                       "2026-12-05 20:00", "2026-12-06 10:30", "notes.txt", "test-old.db"}
        << QStringList() << QStringList{"2026-12-05 23:00"};
    QTest::newRow("a 0-byte file is no copy of the day")
        << QStringList() << QStringList{copyName("2026-12-06 08:00")}
        << QStringList{"2026-12-06 10:30", "2026-12-06 12:00"} << QStringList{"2026-12-06 10:30"}
        << QStringList() << QStringList{"2026-12-06 08:00"};
    QTest::newRow("the clock a year ahead, then right")
        << days("2026-12-01", 6, {"09:00"}) << QStringList()
        << (days("2027-12-01", 2, {"09:00"}) + days("2026-12-07", 2, {"09:00"}))
        << days("2026-12-02", 7, {"09:00"}) << days("2027-12-01", 2, {"09:00"}) << QStringList();
    QTest::newRow("the clock in 2001, then right")
        << days("2026-12-01", 7, {"09:00"}) << QStringList()
        << (days("2001-01-01", 2, {"09:00"}) + QStringList{"2026-12-08 09:00"})
        << QStringList{"2001-01-01 09:00", "2001-01-02 09:00", "2026-12-08 09:00"}
        << days("2026-12-01", 7, {"09:00"}) << QStringList();
}

void TestBackup::rotation() {
    QFETCH(QStringList, copies);
    QFETCH(QStringList, others);
    QFETCH(QStringList, starts);
    TestDatabase test;
    TestDatabase earlier; // an earlier version's copies have a salt other than the database's
    const QString folder = backupFolder(test.path());
    QVERIFY(QDir().mkpath(folder));
    for (const QString &moment : copies)
        QVERIFY(QFile::copy(earlier.path(), folder + '/' + copyName(moment)));
    for (const QString &name : others)
        QVERIFY(QFile(folder + '/' + name).open(QIODevice::WriteOnly));
    QSet<QString> daysWithCopies;
    int toldClock = 0, toldUnreadable = 0;
    for (const QString &start : starts) {
        const BackupReport report = backUpDatabase(test.path(), fromDbText(start + ":00"));
        // One copy on a day's first start and none after; the copy just made stays.
        QCOMPARE(report.made.isEmpty(), daysWithCopies.contains(start.left(10)));
        QVERIFY(report.made.isEmpty() || QFile::exists(report.made));
        daysWithCopies << start.left(10);
        toldClock += report.notes().contains("clock") ? 1 : 0;
        toldUnreadable += report.notes().contains("unreadable") ? 1 : 0;
    }
    QTEST(files(folder), "kept");
    QTEST(files(folder + "/future"), "apart");
    QTEST(files(folder + "/unreadable"), "unreadable");
    // Told once, when each was moved out of the way.
    QCOMPARE(toldClock, files(folder + "/future").isEmpty() ? 0 : 1);
    QCOMPARE(toldUnreadable, files(folder + "/unreadable").isEmpty() ? 0 : 1);
}

QTEST_GUILESS_MAIN(TestBackup)
#include "test_backup.moc"
