#include "core/clock.h"
#include "core/partfile.h"
#include "db/open.h"
#include "db/restore.h"
#include "support/testdatabase.h"

#include <QDir>
#include <QProcess>
#include <QTest>
#include <cstdio>
#include <sys/stat.h>

namespace {
QDateTime at(const char *text) { return fromDbText(QString::fromLatin1(text)); }

// Users with so many passages each.
void fill(Database &db, const QList<UserSummary> &users) {
    for (const UserSummary &user : users) {
        Statement(db, "INSERT INTO Users (Name) VALUES (?)").bind(1, user.name).run();
        for (int i = 0; i < user.passages; ++i)
            Statement(db, "INSERT INTO Passages (startbook, startchapter, startverse, endbook, "
                          "endchapter, endverse, username, UserID, scheduledate) VALUES ('John', "
                          "11, 35, 'John', 11, 35, ?, ?, '2026-12-01 10:00:00')")
                .bindAll(user.name, db.lastInsertId())
                .run();
    }
}

QList<UserSummary> holding(const QString &path) {
    Database db(path);
    return usersAndPassages(db);
}

void write(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

int modeOf(const QString &path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 0777) : -1;
}

// The program run from a shell, with its settings pointed at the database.
std::pair<int, QString> versekeep(const QStringList &arguments) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral(VERSEKEEP_PROGRAM), arguments);
    const bool ran = process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit;
    return {ran ? process.exitCode() : -1, QString::fromLocal8Bit(process.readAll())};
}

const QList<UserSummary> annOnly{{"Ann", 2}};
const QList<UserSummary> annAndBob{{"Ann", 2}, {"Bob", 1}};
} // namespace

class TestRestore : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void overAKilledWritersJournal();
    void refusals_data();
    void refusals();
    void fromTheShell();
    void listsNewestFirstWithUsers();
    void ownerOnly_data();
    void ownerOnly();
};

// A save killed half-way leaves a hot journal. The restored file must never meet it: rolled
// back into a copy laid out otherwise, it destroys the copy.
void TestRestore::overAKilledWritersJournal() {
    TestDatabase test;
    fill(test.db(), annOnly);
    const QString copy = backUpDatabase(test.path(), at("2026-12-01 09:00:00")).made;
    fill(test.db(), {{"Bob", 1}});
    test.db().close();
    QProcess writer;
    writer.start(QCoreApplication::applicationFilePath(), {"--write-and-wait", test.path()});
    QVERIFY(writer.waitForReadyRead(30000));
    writer.kill();
    QVERIFY(writer.waitForFinished());
    const QString journal = test.path() + "-journal";
    QVERIFY(QFileInfo(journal).size() > 0);

    const RestoreReport report = restoreBackup(test.path(), copy, at("2026-12-02 09:00:00"));
    QVERIFY(!QFile::exists(journal));
    Database restored(test.path());
    Statement check(restored, "PRAGMA integrity_check");
    QVERIFY(check.next() && check.text(0) == "ok");
    QCOMPARE(usersAndPassages(restored), annOnly);
    QCOMPARE(report.users, annOnly);
    QCOMPARE(report.made, at("2026-12-01 09:00:00"));
    QVERIFY(report.journalSettled);
    // The state before, the killed save rolled back out of it.
    QCOMPARE(holding(report.before), annAndBob);
}

void TestRestore::refusals_data() {
    QTest::addColumn<QString>("copy");
    QTest::addColumn<int>("number");
    QTest::newRow("Versekeep has the database open") << "open" << 5; // SQLITE_BUSY
    QTest::newRow("the database itself") << "itself" << int(Error::BadInput);
    QTest::newRow("not a database") << "text" << int(Error::BadInput);
    QTest::newRow("another key") << "key" << int(Error::BadInput);
    QTest::newRow("no tables: an empty file") << "empty" << int(Error::BadInput);
    QTest::newRow("no such file") << "missing" << int(Error::BadInput);
}

// Refused before anything is touched: no backup made, the database as it was.
void TestRestore::refusals() {
    QFETCH(QString, copy);
    TestDatabase test;
    fill(test.db(), annAndBob);
    const QString good = backUpDatabase(test.path(), at("2026-12-01 09:00:00")).made;
    const QString file = test.folder() + copy;
    if (copy == "text" || copy == "empty")
        write(file, copy == "text" ? "not a database\n" : "");
    else if (copy == "key")
        Database::createNew(file, "111111111111").execute("CREATE TABLE t (x)");
    Database program;
    if (copy == "open")
        program = openDatabase({test.folder(), "test.db"});
    const QByteArray before = fingerprint(test.path());
    const QString source = copy == "open" ? good : copy == "itself" ? test.path() : file;
    QTEST(errorNumberOf([&] { restoreBackup(test.path(), source, at("2026-12-02 09:00:00")); }),
          "number");
    QCOMPARE(fingerprint(test.path()), before);
    QCOMPARE(backupCopies(test.path()).size(), 1);
    QCOMPARE(QDir(test.folder()).entryList(QDir::Files | QDir::Hidden).filter(".part"), QStringList());
}

// versekeep --restore NAME restores without asking and says what it did; refused, it says why.
void TestRestore::fromTheShell() {
    TestDatabase test;
    fill(test.db(), annOnly);
    const QString copy = backUpDatabase(test.path(), at("2026-12-01 09:00:00")).made;
    fill(test.db(), {{"Bob", 1}});
    pointSettingsAt(test.folder(), "test.db");
    const QString name = QFileInfo(copy).fileName();
    {
        Database program = openDatabase({test.folder(), "test.db"});
        const auto [code, output] = versekeep({"--restore", name});
        QCOMPARE(code, 1);
        QVERIFY2(output.startsWith("Nothing was restored. 5 Versekeep is running"), qPrintable(output));
    }
    const auto [code, output] = versekeep({"--restore", name});
    QCOMPARE(code, 0);
    QVERIFY2(output.startsWith(QStringLiteral("Restored %1, the backup of 1 December 2026 at "
                                              "09:00, into %2.\nIt holds Ann (2 passages).\n")
                                   .arg(copy, test.path())) &&
                 output.contains("The database as it was is kept as " + test.folder() + "backups/"),
             qPrintable(output));
    QCOMPARE(holding(test.path()), annOnly);
    const auto [listed, list] = versekeep({"--restore"});
    QVERIFY2(listed == 0 && list.contains(name + "  1 December 2026 at 09:00: Ann (2 passages)\n") &&
                 list.contains("Ann (2 passages), Bob (1 passage)\n"),
             qPrintable(list));
}

void TestRestore::listsNewestFirstWithUsers() {
    TestDatabase test;
    fill(test.db(), annOnly);
    backUpDatabase(test.path(), at("2026-12-01 09:00:00"));
    fill(test.db(), {{"Bob", 1}});
    backUpDatabase(test.path(), at("2026-12-03 09:00:00"));
    // Made under a clock a year ahead, then set apart once the clock was right.
    backUpDatabase(test.path(), at("2027-12-01 09:00:00"));
    backUpDatabase(test.path(), at("2026-12-04 09:00:00"));
    write(backupFolder(test.path()) + "/test-2026-12-02-090000.db", "");
    QStringList seen;
    for (const BackupListing &entry : listBackups(test.path()))
        seen << QStringLiteral("%1 %2 %3 %4")
                    .arg(toDbText(entry.copy.made))
                    .arg(entry.copy.apart ? "apart" : "-")
                    .arg(entry.readable ? "readable" : "unreadable")
                    .arg(entry.users.size() == 2 ? entry.users[1].name : "");
    QCOMPARE(seen, (QStringList{"2027-12-01 09:00:00 apart readable Bob",
                                "2026-12-04 09:00:00 - readable Bob",
                                "2026-12-03 09:00:00 - readable Bob",
                                "2026-12-02 09:00:00 - unreadable ",
                                "2026-12-01 09:00:00 - readable "}));
}

void TestRestore::ownerOnly_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("umask");
    for (const int mask : {022, 0})
        for (const char *file : {"new database", "built database", "backup", "backups folder",
                                 "backups folder of an earlier version", "restored database"})
            QTest::addRow("%s, umask %03o", file, mask) << file << mask;
}

// The key is in the README: a learner's names and progress are the owner's to read alone.
void TestRestore::ownerOnly() {
    QFETCH(QString, file);
    QFETCH(int, umask);
    TestDatabase test;
    const mode_t before = ::umask(mode_t(umask));
    QString path = test.folder() + "made.db";
    if (file == "new database") {
        Database::createNew(path);
    } else if (file == "built database") {
        PartFile part(path);
        part.putInPlace();
    } else if (file == "restored database") {
        const QString copy = backUpDatabase(test.path(), at("2026-12-01 09:00:00")).made;
        QCOMPARE(::chmod(QFile::encodeName(test.path()).constData(), 0644), 0);
        restoreBackup(test.path(), copy, at("2026-12-02 09:00:00"));
        path = test.path();
    } else {
        if (file.endsWith("earlier version"))
            QCOMPARE(::mkdir(QFile::encodeName(backupFolder(test.path())).constData(), 0755), 0);
        const QString copy = backUpDatabase(test.path(), at("2026-12-01 09:00:00")).made;
        path = file == "backup" ? copy : backupFolder(test.path());
    }
    ::umask(before);
    QCOMPARE(modeOf(path), file.startsWith("backups folder") ? 0700 : 0600);
}

namespace {
// A save killed mid-way: a big write that spills into the file, then a wait to be killed.
int writeAndWait(const char *path) {
    Database db{QString::fromLocal8Bit(path)};
    db.execute("PRAGMA cache_size = 10");
    db.execute("BEGIN IMMEDIATE");
    db.execute("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000) "
               "INSERT INTO Users (Name) SELECT hex(randomblob(100)) FROM n");
    std::printf("writing\n");
    std::fflush(stdout);
    std::getchar();
    return 0;
}
} // namespace

int main(int argc, char *argv[]) {
    if (argc == 3 && qstrcmp(argv[1], "--write-and-wait") == 0)
        return writeAndWait(argv[2]);
    isolateUserFolders();
    QCoreApplication app(argc, argv);
    TestRestore test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_restore.moc"
