#include "support/testdatabase.h"

#include <QFile>
#include <QTest>
#include <sys/wait.h>
#include <unistd.h>

// Opening and refusing files is tested through the real start-up (test_startup);
// transactions through the stores that use them and the fault suite.
class TestDb : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readOnlyFileOrFolderIsRefused_data();
    void readOnlyFileOrFolderIsRefused();
};

void TestDb::readOnlyFileOrFolderIsRefused_data() {
    QTest::addColumn<bool>("fileWritable");
    QTest::addColumn<bool>("folderWritable");
    QTest::addColumn<int>("number");
    QTest::newRow("both writable") << true << true << 0;
    QTest::newRow("read-only file") << false << true << 8;     // SQLITE_READONLY
    QTest::newRow("read-only folder") << true << false << 8; // no room for the journal
}

// A file the program may not write would fail only at the first save, a learner's answer
// lost; it must be refused at once. Root writes whatever the mode, so the open is tried
// as an ordinary user.
void TestDb::readOnlyFileOrFolderIsRefused() {
    QFETCH(bool, fileWritable);
    QFETCH(bool, folderWritable);
    TestDatabase test;
    const QString path = test.path();
    test.db().close();
    const auto everyone = [](bool write) {
        return QFile::ReadOwner | QFile::ReadOther | QFile::ExeOwner | QFile::ExeOther |
               (write ? QFile::WriteOwner | QFile::WriteOther : QFile::Permissions());
    };
    QVERIFY(QFile::setPermissions(path, everyone(fileWritable)));
    QVERIFY(QFile::setPermissions(test.folder(), everyone(folderWritable)));
    const pid_t child = fork();
    if (child == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(100);
        _exit(errorNumberOf([&] { Database db(path); }));
    }
    int status = 0;
    QCOMPARE(waitpid(child, &status, 0), child);
    QVERIFY(WIFEXITED(status));
    QTEST(WEXITSTATUS(status), "number");
    QVERIFY(QFile::setPermissions(test.folder(), everyone(true)));
}

QTEST_GUILESS_MAIN(TestDb)
#include "test_db.moc"
