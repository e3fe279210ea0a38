#include "support/testdatabase.h"

#include <QFile>
#include <QTest>
#include <sys/wait.h>
#include <unistd.h>

// Opening and refusing files is tested through the real start-up (test_startup);
// transactions through the stores that use them.
class TestDb : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readOnlyFileIsRefused();
};

// A file the program may not write would fail only at the first save, a learner's answer
// lost; it must be refused at once. Root writes whatever the mode, so the open is tried
// as an ordinary user.
void TestDb::readOnlyFileIsRefused() {
    TestDatabase test;
    const QString path = test.path();
    test.db().close();
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadOther));
    QVERIFY(QFile::setPermissions(test.folder(), QFile::ReadOwner | QFile::WriteOwner |
                                                     QFile::ExeOwner | QFile::ExeOther));
    const pid_t child = fork();
    if (child == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(100);
        _exit(errorNumberOf([&] { Database db(path); }));
    }
    int status = 0;
    QCOMPARE(waitpid(child, &status, 0), child);
    QVERIFY(WIFEXITED(status));
    QCOMPARE(WEXITSTATUS(status), 8); // SQLITE_READONLY
}

QTEST_GUILESS_MAIN(TestDb)
#include "test_db.moc"
