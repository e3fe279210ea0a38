#include "core/clock.h"
#include "store/passages.h"
#include "store/quiz.h"
#include "store/users.h"
#include "support/recordingdialogs.h"
#include "support/testdatabase.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <QTest>
#include <csignal>
#include <sqlite3.h>

// What survives failures: a write or sync that fails at every step, a process killed at
// any moment, a second copy of the program working on the same file.

namespace {
// A file system over the real one that fails the chosen write or sync, counted from 1.
int ioCount = 0;
int failAt = 0; // 0: none fails
int failWith = SQLITE_IOERR_WRITE;
sqlite3_vfs *realVfs = nullptr;
sqlite3_vfs faultyVfs;

sqlite3_file *inner(sqlite3_file *file) { return file + 1; }
bool failing() { return ++ioCount == failAt; }

// A call handed on to the real file, unless failure says otherwise.
#define HAND_ON(method, failure)                                                                 \
    [](sqlite3_file *f, auto... arguments) {                                                     \
        const int failed = failure;                                                              \
        return failed ? failed : inner(f)->pMethods->method(inner(f), arguments...);             \
    }
const sqlite3_io_methods faultyMethods = {
    1, HAND_ON(xClose, 0), HAND_ON(xRead, 0), HAND_ON(xWrite, failing() ? failWith : 0),
    HAND_ON(xTruncate, failing() ? failWith : 0),
    HAND_ON(xSync, failing() ? (failWith == SQLITE_FULL ? SQLITE_FULL : SQLITE_IOERR_FSYNC) : 0),
    HAND_ON(xFileSize, 0), HAND_ON(xLock, 0), HAND_ON(xUnlock, 0), HAND_ON(xCheckReservedLock, 0),
    HAND_ON(xFileControl, 0), HAND_ON(xSectorSize, 0), HAND_ON(xDeviceCharacteristics, 0),
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, // version 1: no shared memory, no mmap
};

void installFaultyVfs() {
    realVfs = sqlite3_vfs_find(nullptr);
    faultyVfs = *realVfs;
    faultyVfs.zName = "faulty";
    faultyVfs.szOsFile = int(sizeof(sqlite3_file)) + realVfs->szOsFile;
    faultyVfs.xOpen = [](sqlite3_vfs *, const char *name, sqlite3_file *file, int flags, int *out) {
        const int rc = realVfs->xOpen(realVfs, name, inner(file), flags, out);
        file->pMethods = rc == SQLITE_OK ? &faultyMethods : nullptr;
        return rc;
    };
    sqlite3_vfs_register(&faultyVfs, 1);
}

// Whether the file is whole, what a half-done change leaves (orphans and passages whose
// verse count is wrong), and everything a learner owns.
QString snapshot(const QString &path) {
    Database db(path);
    QStringList parts;
    for (const char *sql :
         {"PRAGMA integrity_check",
          "SELECT (SELECT count(*) FROM Passages WHERE UserID NOT IN (SELECT id FROM Users)) + "
          "(SELECT count(*) FROM PassageVerses WHERE passageID NOT IN (SELECT id FROM Passages)) "
          "+ (SELECT count(*) FROM Passages p WHERE numVerses <> (SELECT count(*) FROM "
          "PassageVerses v WHERE v.passageID = p.id))",
          "SELECT group_concat(id || Name) FROM Users",
          "SELECT group_concat(id || '/' || passagelevel || '/' || passageScore || '/' || "
          "numVersestoAsk || '/' || numVerses || '/' || scheduledate) FROM Passages",
          "SELECT group_concat(id || '/' || passageID || '/' || verseLevel || '/' || "
          "WordSizeLevel || '/' || minWordSize || '/' || verseScore || '/' || ScheduleDate) "
          "FROM PassageVerses"}) {
        Statement query(db, sql);
        parts << (query.next() ? query.value(0).toString() : QString());
    }
    return parts.join('\n');
}

// Whole, and nothing half done.
bool sound(const QString &path) { return snapshot(path).section('\n', 0, 1) == "ok\n0"; }

// A second copy of the program at work: adds and deletes passages and users at random. A
// change that meets the other copy's lock for too long fails whole, reported.
void addAndDelete(const QString &path, int seed) {
    Database db(path);
    RecordingDialogs dialogs;
    QRandomGenerator random(seed);
    for (int i = 0; i < 40; ++i) {
        const int first = 1 + random.bounded(50), what = random.bounded(4);
        dialogs.attempt([&] {
            if (what < 2) {
                addPassage(db, SystemClock(), {{43, "John", 11, first}, {43, "John", 11, first + 5}},
                           "Ann", 1 + random.bounded(2));
            } else if (what == 2) {
                db.execute("SELECT 1"); // a look, as the windows take between changes
                deletePassage(db, 1 + random.bounded(12));
            } else {
                deleteUser(db, *addUser(db, "Passer-by"));
            }
        });
    }
}

const QDateTime noon = fromDbText(QStringLiteral("2026-12-06 12:00:00"));
const PassageRange john11{{43, "John", 11, 33}, {43, "John", 11, 35}};
} // namespace

class TestFaults : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void everyFailedWrite_data();
    void everyFailedWrite();
    void anotherCopy();
    void killedWhileAddingTheWholeBible();
    void twoCopiesAtOnce();

private:
    void run(const QString &operation, Database &db, Quiz &quiz);

    QTemporaryDir dir_;
    const FixedClock clock_{noon};
    QString template_;
    qint64 passage_ = 0;
};

void TestFaults::initTestCase() {
    // A small file: the users, a passage with every verse at its threshold, and John 11.
    TestDatabase test;
    Database &db = test.db();
    Statement(db, "ATTACH DATABASE ? AS bible KEY ?")
        .bindAll(QStringLiteral(VERSEKEEP_BIBLE_DB), QString::fromLatin1(Database::password))
        .run();
    db.execute("INSERT INTO kjv SELECT * FROM bible.kjv WHERE BookNum = 43 AND Chapter = 11");
    db.execute("DETACH DATABASE bible");
    db.execute("INSERT INTO Users (id, Name) VALUES (1, 'Ann'), (2, 'Bob')");
    passage_ = addPassage(db, FixedClock(noon.addSecs(-60)), john11, "Ann", 1);
    db.execute("UPDATE PassageVerses SET verseScore = 5, minWordSize = 0");
    db.execute("UPDATE Passages SET numVersestoAsk = 4, passageScore = 5");
    db.close();
    template_ = dir_.filePath("template.db");
    QVERIFY(QFile::copy(test.path(), template_));
}

void TestFaults::run(const QString &operation, Database &db, Quiz &quiz) {
    if (operation.startsWith("add"))
        addPassage(db, clock_, {{43, "John", 11, 36}, {43, "John", 11, 38}}, "Bob", 2);
    else if (operation == "delete a user")
        deleteUser(db, 1);
    else if (operation == "delete a passage")
        deletePassage(db, passage_);
    else
        quiz.submit([&] {
            QList<BlankAnswer> answers;
            for (const Blank &blank : quiz.state().blanks)
                answers.append({blank.verseId, blank.expected, blank.expected});
            return answers;
        }());
}

void TestFaults::everyFailedWrite_data() {
    QTest::addColumn<QString>("operation");
    QTest::addColumn<int>("failure");
    for (const char *operation : {"add a passage", "delete a user", "delete a passage", "judge a page"})
        QTest::newRow(operation) << operation << SQLITE_IOERR_WRITE;
    QTest::newRow("add a passage, the disk full") << "add a passage" << SQLITE_FULL;
}

void TestFaults::everyFailedWrite() {
    QFETCH(QString, operation);
    QFETCH(int, failure);
    const QString path = dir_.filePath("test.db");
    const QString before = snapshot(template_);
    QString after;
    int writes = 0;
    // Run 0 fails nothing: it gives the state after and the number of writes and syncs.
    for (int n = 0; n == 0 || n <= writes; ++n) {
        QFile::remove(path);
        QVERIFY(QFile::copy(template_, path));
        RecordingDialogs dialogs;
        {
            Database db(path);
            Quiz quiz(db, clock_); // a page on show, to be judged
            quiz.start(1);
            QVERIFY(!quiz.makeQuestion().isEmpty());
            ioCount = 0;
            failAt = n;
            failWith = failure;
            dialogs.attempt([&] { run(operation, db, quiz); });
            failAt = 0;
            if (n == 0)
                writes = ioCount;
            else // a failed page changes nothing in memory either
                QCOMPARE(quiz.numCorrect + quiz.state().blanks.isEmpty(), 0);
            // Once the disk has room again, the same work succeeds.
            if (n > 0 && failure == SQLITE_FULL)
                QVERIFY(dialogs.attempt([&] { run(operation, db, quiz); }));
        }
        const QString now = snapshot(path);
        if (n == 0) {
            after = now;
            QVERIFY(after != before && sound(path));
            QCOMPARE(dialogs.count(), 0);
            continue;
        }
        QVERIFY2(now == (failure == SQLITE_FULL ? after : before) || now == after,
                 qPrintable(QStringLiteral("write %1 of %2:\n%3").arg(n).arg(writes).arg(now)));
        QCOMPARE(dialogs.errorNumbers.size(), 1);
        if (failure == SQLITE_FULL)
            VERIFY_HOLDS(dialogs.errors.first(), "13 The disk is full, so nothing was saved.");
    }
    QVERIFY(writes > 5);
}

void TestFaults::anotherCopy() {
    const QString path = dir_.filePath("shared.db");
    QFile::remove(path);
    QVERIFY(QFile::copy(template_, path));
    Database mine(path);
    Database other(path);
    // The other copy deletes the user this one shows; this one's add then stores nothing.
    Quiz quiz(mine, clock_);
    quiz.start(1);
    quiz.makeQuestion();
    deleteUser(other, 1);
    for (const QString operation : {"judge a page", "delete a passage"})
        QCOMPARE(errorNumberOf([&] { run(operation, mine, quiz); }), int(Error::DeletedElsewhere));
    QCOMPARE(errorNumberOf([&] { addPassage(mine, FixedClock(noon), john11, "Ann", 1); }),
             int(Error::DeletedElsewhere));
    QCOMPARE(snapshot(path).section('\n', 3), QStringLiteral("\n")); // no passage, no verse
    // Ids are not used again: a new user does not inherit the deleted one's id.
    QVERIFY(*addUser(mine, "Cy") > 2);

    // While the other copy holds the file, this one waits with its hook told, then gives up.
    QStringList waits;
    mine.setBusyHook([&](bool waiting) { waits << (waiting ? "waiting" : "done"); });
    mine.setBusyTimeout(100);
    Transaction holding(other);
    QCOMPARE(errorNumberOf([&] { addUser(mine, "Dee"); }), 5);
    QCOMPARE(waits, (QStringList{"waiting", "done"}));
}

void TestFaults::killedWhileAddingTheWholeBible() {
    // A child adds Genesis 1:1 to Revelation 22:21 as the passage window does; it is killed
    // at points spread over the time a whole add takes, measured first.
    qint64 whole = 0;
    for (const double at : {-1.0, 0.1, 0.4, 0.7, 0.95, 1.3}) {
        TestDatabase test = TestDatabase::withBible();
        test.db().execute("INSERT INTO Users (id, Name) VALUES (1, 'Ann')");
        test.db().close();
        QElapsedTimer timer;
        timer.start();
        const int child = forkChild([&] {
            Database db(test.path());
            addPassage(db, SystemClock(), {{1, "Genesis", 1, 1}, {66, "Revelation", 22, 21}},
                       "Ann", 1);
        });
        if (at < 0) {
            QCOMPARE(waitForChild(child), 0);
            whole = timer.elapsed();
        } else {
            QTest::qSleep(int(whole * at));
            ::kill(child, SIGKILL);
            waitForChild(child);
        }
        QVERIFY(sound(test.path()));
        test.db() = Database(test.path());
        const qint64 verses = test.count("SELECT count(*) FROM PassageVerses");
        QVERIFY2(verses == 0 || verses == 31102, qPrintable(QString::number(verses)));
        if (at < 0)
            QCOMPARE(verses, 31102);
    }
}

void TestFaults::twoCopiesAtOnce() {
    const QString path = dir_.filePath("two.db");
    QFile::remove(path);
    QVERIFY(QFile::copy(template_, path));
    const int copies[] = {forkChild([&] { addAndDelete(path, 1); }),
                          forkChild([&] { addAndDelete(path, 2); })};
    for (const int copy : copies)
        QCOMPARE(waitForChild(copy), 0);
    QVERIFY(sound(path));
}

int main(int argc, char *argv[]) {
    installFaultyVfs();
    QCoreApplication app(argc, argv);
    TestFaults test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_faults.moc"
