#include "core/clock.h"
#include "db/open.h"
#include "db/restore.h"
#include "support/testdatabase.h"

#include <QDir>
#include <QProcess>
#include <QTest>
#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>

namespace {
QDateTime at(const char *text) { return fromDbText(QString::fromLatin1(text)); }

// A user and so many passages.
void add(Database &db, const char *name, int passages) {
    Statement(db, "INSERT INTO Users (Name) VALUES (?)").bind(1, QString::fromUtf8(name)).run();
    for (int i = 0; i < passages; ++i)
        db.execute("INSERT INTO Passages (startbook, startchapter, startverse, endbook, endchapter, "
                   "endverse, username, UserID, scheduledate) SELECT 'John', 11, 35, 'John', 11, "
                   "35, Name, id, '2026-12-01 10:00:00' FROM Users WHERE id = (SELECT max(id) FROM Users)");
}

// Ann and her two passages, backed up on 1 December; then Bob and his one. Returns the copy.
QString annBackedUpThenBob(TestDatabase &test) {
    add(test.db(), "Ann", 2);
    const QString copy = backUpDatabase(test.path(), at("2026-12-01 09:00:00")).made;
    add(test.db(), "Bob", 1);
    return copy;
}

QList<UserSummary> holding(const QString &path) {
    Database db(path);
    return usersAndPassages(db);
}

int modeOf(const QString &path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 0777) : -1;
}

// The program run from a shell: its exit code and all it printed.
std::pair<int, QString> versekeep(const QStringList &arguments) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral(VERSEKEEP_PROGRAM), arguments);
    const bool ran = process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit;
    return {ran ? process.exitCode() : -1, QString::fromLocal8Bit(process.readAll())};
}

const QList<UserSummary> annOnly{{"Ann", 2}};
} // namespace

class TestRestore : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void overAKilledWritersJournal();
    void refusals_data();
    void refusals();
    void fromTheShell();
};

// A save killed half-way leaves a hot journal. The restored file must never meet it: rolled
// back into a copy laid out otherwise, it destroys the copy.
void TestRestore::overAKilledWritersJournal() {
    TestDatabase test;
    const QString folder = backupFolder(test.path()); // as an earlier version made it
    QVERIFY(QDir().mkdir(folder) && ::chmod(QFile::encodeName(folder).constData(), 0755) == 0);
    const QString copy = annBackedUpThenBob(test);
    test.db().close();
    // A big write that spills into the file; the writer then stops, to be killed.
    const int writer = forkChild([&] {
        Database db(test.path());
        db.execute("PRAGMA cache_size = 10");
        db.execute("BEGIN IMMEDIATE");
        db.execute("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000) "
                   "INSERT INTO Users (Name) SELECT hex(randomblob(100)) FROM n");
        ::raise(SIGSTOP);
    });
    int status = 0;
    QCOMPARE(::waitpid(writer, &status, WUNTRACED), writer);
    ::kill(writer, SIGKILL);
    waitForChild(writer);
    const QString journal = test.path() + "-journal";
    QVERIFY(QFileInfo(journal).size() > 0);

    const RestoreReport report = restoreBackup(test.path(), copy, at("2026-12-02 09:00:00"));
    QVERIFY(!QFile::exists(journal) && report.journalSettled);
    QVERIFY(opensAsDatabase(test.path()) && report.users == annOnly);
    QCOMPARE(holding(test.path()), annOnly);
    // The state before, the killed save rolled back out of it.
    QCOMPARE(holding(report.before), (QList<UserSummary>{{"Ann", 2}, {"Bob", 1}}));
    // The key is in the README: names and progress are their owner's to read alone.
    QCOMPARE(QList<int>({modeOf(test.path()), modeOf(report.before), modeOf(folder)}),
             QList<int>({0600, 0600, 0700}));
}

void TestRestore::refusals_data() {
    QTest::addColumn<QString>("copy");
    for (const char *copy :
         {"the database itself", "not a database", "another key", "an empty file", "no such file"})
        QTest::newRow(copy) << copy;
}

// Refused before anything is touched: no backup made, the database as it was. (A database
// in use is refused from the shell below and from the user list.)
void TestRestore::refusals() {
    QFETCH(QString, copy);
    TestDatabase test;
    QString file = annBackedUpThenBob(test);
    if (copy == "the database itself" || copy == "no such file")
        file = copy == "no such file" ? file + ".gone" : test.path();
    else if (copy == "another key")
        Database::createNew(file = test.folder() + "other.db", "111111111111").execute("CREATE TABLE t (x)");
    else if (QFile other(file = test.folder() + "other.db"); other.open(QIODevice::WriteOnly))
        other.write(copy == "not a database" ? "not a database\n" : "");
    const QByteArray before = fingerprint(test.path());
    QCOMPARE(errorNumberOf([&] { restoreBackup(test.path(), file, at("2026-12-02 09:00:00")); }),
             int(Error::BadInput));
    QCOMPARE(fingerprint(test.path()), before);
    QCOMPARE(modeOf(test.path()), 0600); // as Database::createNew made it
    QCOMPARE(backupCopies(test.path()).size(), 1);
    QCOMPARE(QDir(test.folder()).entryList({"*.part"}, QDir::Files | QDir::Hidden), QStringList());
}

// Without a name, the copies newest first with what each holds, read from each; with one,
// a restore without a question, or a refusal that says why.
void TestRestore::fromTheShell() {
    TestDatabase test;
    const QString copy = annBackedUpThenBob(test);
    backUpDatabase(test.path(), at("2027-12-01 09:00:00")); // a clock a year ahead, then right:
    backUpDatabase(test.path(), at("2026-12-03 09:00:00")); // that copy is set apart
    QFile(backupFolder(test.path()) + "/test-2026-12-02-090000.db").open(QIODevice::WriteOnly);
    pointSettingsAt(test.folder(), "test.db");
    const QString both = "Ann (2 passages), Bob (1 passage)\n";
    QCOMPARE(versekeep({"--restore"}),
             std::pair(0, "Backups of " + test.path() + ", newest first; versekeep --restore "
                          "NAME puts one in its place:\n"
                          "  test-2027-12-01-090000.db  1 December 2027 at 09:00 (dated after "
                          "the clock): " + both +
                          "  test-2026-12-03-090000.db  3 December 2026 at 09:00: " + both +
                          "  test-2026-12-02-090000.db  2 December 2026 at 09:00: does not open, "
                          "cannot be restored\n"
                          "  test-2026-12-01-090000.db  1 December 2026 at 09:00: Ann (2 passages)\n"));
    const QString name = QFileInfo(copy).fileName();
    Database program = openDatabase({test.folder(), "test.db"});
    QVERIFY(versekeep({"--restore", name}).second.startsWith("Nothing was restored. 5 Versekeep is running"));
    program.close();
    const auto [code, output] = versekeep({"--restore", name});
    QCOMPARE(code, 0);
    VERIFY_HOLDS(output, QStringLiteral("Restored %1, the backup of 1 December 2026 at 09:00, into "
                                        "%2.\nIt holds Ann (2 passages).\nThe database as it was "
                                        "is kept as %3backups/")
                             .arg(copy, test.path(), test.folder()));
    QCOMPARE(holding(test.path()), annOnly);
}

int main(int argc, char *argv[]) {
    isolateUserFolders();
    ::umask(022); // what most systems give: new files readable by all unless made otherwise
    QCoreApplication app(argc, argv);
    TestRestore test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_restore.moc"
