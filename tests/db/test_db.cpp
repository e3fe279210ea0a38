#include "support/testdatabase.h"

#include <QTest>
#include <sqlite3.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

// Opening and refusing files is tested through the real start-up (test_startup);
// transactions through the stores that use them and the fault suite.
class TestDb : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readOnlyFileOrFolderIsRefused_data();
    void readOnlyFileOrFolderIsRefused();
    void thirteenTwice();
    void oneThreadAConnection();
};

void TestDb::readOnlyFileOrFolderIsRefused_data() {
    QTest::addColumn<bool>("fileWritable");
    QTest::addColumn<bool>("folderWritable");
    QTest::addColumn<int>("number");
    QTest::newRow("both writable") << true << true << 0;
    QTest::newRow("read-only file") << false << true << 8;   // SQLITE_READONLY
    QTest::newRow("read-only folder") << true << false << 8; // no room for the journal
}

// A file the program may not write would fail only at the first save, a learner's answer
// lost; it must be refused at once. Root writes whatever the mode, so the open is tried
// as an ordinary user.
void TestDb::readOnlyFileOrFolderIsRefused() {
    QFETCH(bool, fileWritable);
    QFETCH(bool, folderWritable);
    TestDatabase test;
    test.db().close();
    QCOMPARE(::chmod(qPrintable(test.path()), fileWritable ? 0777 : 0555), 0);
    QCOMPARE(::chmod(qPrintable(test.folder()), folderWritable ? 0777 : 0555), 0);
    QTEST(waitForChild(forkChild([&] {
              if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
                  _exit(100);
              Database db(test.path());
          })),
          "number");
    QCOMPARE(::chmod(qPrintable(test.folder()), 0777), 0);
}

// A report or a retry that went by the number alone would take one for the other.
void TestDb::thirteenTwice() {
    TestDatabase test;
    test.db().execute("PRAGMA max_page_count = 1"); // the long name below needs a page more
    const auto failure = [&](const char *sql) {
        try {
            for (Statement query(test.db(), sql); query.next();)
                query.integer(0);
        } catch (const Error &error) {
            return std::pair(error.isDatabase(13), error.is(Error::TypeMismatch));
        }
        return std::pair(false, false);
    };
    QCOMPARE(failure("INSERT INTO Users (Name) VALUES (hex(zeroblob(5000)))"),
             std::pair(true, false));
    QCOMPARE(failure("SELECT 'xiii'"), std::pair(false, true));
}

// Opened without SQLite's lock around each call, a connection two threads used would be
// corrupted: any thread but the one that opened it is refused before it reaches SQLite.
void TestDb::oneThreadAConnection() {
    TestDatabase test;
    int refused = 0;
    std::thread([&] {
        refused = errorNumberOf([&] { Statement(test.db(), "SELECT 1").next(); }) +
                  errorNumberOf([&] { test.db().execute("SELECT 1"); });
    }).join();
    QCOMPARE(refused, 2 * SQLITE_MISUSE);
    QVERIFY(Statement(test.db(), "SELECT 1").next());
}

QTEST_GUILESS_MAIN(TestDb)
#include "test_db.moc"
