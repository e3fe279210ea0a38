#include "builder.h"
#include "database.h"
#include "testdatabase.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <unistd.h>

namespace {
struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

// The real program, with settings and data folders inside home.
Run makedb(const QTemporaryDir &home, const QStringList &arguments) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(VERSEKEEP_MAKEDB), arguments);
    Run run;
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
        return run; // a crash is not a refusal
    run.exitCode = process.exitCode();
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

// Every name under a folder, hidden ones too, with what each file holds: a refused build
// must leave no temporary file and change nothing.
QStringList contents(const QString &folder) {
    QStringList names;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        names << QDir(folder).relativeFilePath(path) + ' ' + fingerprint(path).toHex();
    }
    names.sort();
    return names;
}

QVariant setting(const QTemporaryDir &home, const char *key) {
    QSettings settings(home.filePath(QStringLiteral("config/Tarnholm.ini")), QSettings::IniFormat);
    return settings.value(QStringLiteral("versekeep/") + QLatin1String(key));
}

QString verseText(Database &db, int book, int chapter, int verse) {
    Statement query(db,
                    "SELECT VerseText FROM kjv WHERE BookNum = ? AND Chapter = ? AND Verse = ?");
    query.bindAll(book, chapter, verse);
    return query.next() ? query.text(0) : QStringLiteral("(missing)");
}
} // namespace

class TestMakedb : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();

    void plainVerseText_data();
    void plainVerseText();

    void verseTableShape_data();
    void verseTableShape();
    void booksAsReadersKnowThem();
    void knownVerses_data();
    void knownVerses();
    void everyVerseIsPlainAscii();

    void refusedRunsMakeNothing_data();
    void refusedRunsMakeNothing();
    void interruptedBuildLeavesNothing();
    void defaultRunRecordsSettingsOnlyOnce();

private:
    TestDatabase bible_ = TestDatabase::withBible();
};

void TestMakedb::initTestCase() {
    QVERIFY2(QFile::exists(QStringLiteral(VERSEKEEP_MAKEDB)), VERSEKEEP_MAKEDB);
}

void TestMakedb::plainVerseText_data() {
    QTest::addColumn<QString>("raw");
    QTest::addColumn<bool>("keepCharacters");
    QTest::addColumn<QString>("plain");
    const bool fold = false;
    const bool keep = true;
    QTest::newRow("tags a filter missed")
        << R"(In the <w lemma="strong:H7225">beginning</w> God)" << fold << "In the beginning God";
    QTest::newRow("USFM marker left in the text")
        << "by my name \\nd JEHOVAH was I not" << fold << "by my name JEHOVAH was I not";
    QTest::newRow("pilcrow, line breaks, blanks at the ends")
        << "\u00B6 And God said,\n  Let there be light:  \n"
        << fold << "And God said, Let there be light:";
    QTest::newRow("letters of the language stay")
        << "\u00BFQui\u00E9n? Se\u00F1or" << fold << "\u00BFQui\u00E9n? Se\u00F1or";
    QTest::newRow("kept characters") << "\u00B6 C\u00E6sar\u2019s \u201Cword\u201D\u2014  \n"
                                     << keep << "C\u00E6sar\u2019s \u201Cword\u201D\u2014";
    QTest::newRow("kept characters, still no markup")
        << "<q who=\"Jesus\">Jesus  wept.</q> \\nd" << keep << "Jesus wept.";
}

void TestMakedb::plainVerseText() {
    QFETCH(QString, raw);
    QFETCH(bool, keepCharacters);
    QFETCH(QString, plain);
    QCOMPARE(::plainVerseText(raw, keepCharacters), plain);
}

void TestMakedb::verseTableShape_data() {
    QTest::addColumn<QString>("query");
    QTest::addColumn<qint64>("expected");
    const auto row = [](const char *name, const char *query, qint64 expected) {
        QTest::newRow(name) << QString::fromLatin1(query) << expected;
    };
    row("verses", "SELECT count(*) FROM kjv", 31102);
    row("one row a verse",
        "SELECT count(*) FROM (SELECT DISTINCT BookNum, Chapter, Verse FROM kjv)", 31102);
    row("books", "SELECT count(DISTINCT BookNum) FROM kjv", 66);
    row("one name a book",
        "SELECT count(*) FROM (SELECT BookNum FROM kjv GROUP BY BookNum "
        "HAVING count(DISTINCT Book) <> 1)",
        0);
    row("chapters without gaps",
        "SELECT count(*) FROM (SELECT BookNum FROM kjv GROUP BY BookNum "
        "HAVING min(Chapter) <> 1 OR max(Chapter) <> count(DISTINCT Chapter))",
        0);
    row("verses without gaps",
        "SELECT count(*) FROM (SELECT BookNum FROM kjv GROUP BY BookNum, Chapter "
        "HAVING min(Verse) <> 1 OR max(Verse) <> count(*))",
        0);
}

void TestMakedb::verseTableShape() {
    QFETCH(QString, query);
    QFETCH(qint64, expected);
    QCOMPARE(bible_.count(query.toUtf8().constData()), expected);
}

void TestMakedb::booksAsReadersKnowThem() {
    QStringList names;
    Statement query(bible_.db(), "SELECT DISTINCT BookNum, Book FROM kjv ORDER BY BookNum");
    while (query.next())
        names << query.text("Book");
    QCOMPARE(names.size(), 66);
    const std::pair<int, const char *> expected[] = {
        {1, "Genesis"},        {9, "1 Samuel"},         {12, "2 Kings"},
        {19, "Psalms"},        {22, "Song of Solomon"}, {40, "Matthew"},
        {46, "1 Corinthians"}, {64, "3 John"},          {66, "Revelation"},
    };
    for (const auto &[number, name] : expected)
        QCOMPARE(names.at(number - 1), QString::fromLatin1(name));
}

void TestMakedb::knownVerses_data() {
    QTest::addColumn<int>("book");
    QTest::addColumn<int>("chapter");
    QTest::addColumn<int>("verse");
    QTest::addColumn<QString>("text");
    QTest::newRow("Genesis 1:1") << 1 << 1 << 1
                                 << "In the beginning God created the heaven and the earth.";
    QTest::newRow("John 11:35") << 43 << 11 << 35 << "Jesus wept.";
    QTest::newRow("Psalm 23:1, after its title")
        << 19 << 23 << 1 << "The LORD is my shepherd; I shall not want.";
    QTest::newRow("Psalm 119:1, after the acrostic letter and with a footnote")
        << 19 << 119 << 1
        << "Blessed are the undefiled in the way, who walk in the law of the LORD.";
    QTest::newRow("Exodus 6:3, a stray marker")
        << 2 << 6 << 3
        << "And I appeared unto Abraham, unto Isaac, and unto Jacob, by the name of God "
           "Almighty, but by my name JEHOVAH was I not known to them.";
    QTest::newRow("Exodus 32:32, the one dash")
        << 2 << 32 << 32
        << "Yet now, if thou wilt forgive their sin-; and if not, blot me, I pray thee, out of "
           "thy book which thou hast written.";
    QTest::newRow("Matthew 22:21, ligature and apostrophes")
        << 40 << 22 << 21
        << "They say unto him, Caesar's. Then saith he unto them, Render therefore unto Caesar "
           "the things which are Caesar's; and unto God the things that are God's.";
}

void TestMakedb::knownVerses() {
    QFETCH(int, book);
    QFETCH(int, chapter);
    QFETCH(int, verse);
    QFETCH(QString, text);
    QCOMPARE(verseText(bible_.db(), book, chapter, verse), text);
}

void TestMakedb::everyVerseIsPlainAscii() {
    Statement query(bible_.db(), "SELECT Book, Chapter, Verse, VerseText FROM kjv");
    int checked = 0;
    while (query.next()) {
        const QString text = query.text("VerseText");
        const QString where = QStringLiteral("%1 %2:%3: \"%4\"")
                                  .arg(query.text("Book"))
                                  .arg(query.integer("Chapter"))
                                  .arg(query.integer("Verse"))
                                  .arg(text);
        const bool printable = std::all_of(text.cbegin(), text.cend(), [](QChar c) {
            return c.unicode() >= 0x20 && c.unicode() <= 0x7e;
        });
        QVERIFY2(printable, qPrintable(where));
        QVERIFY2(!text.isEmpty() && text == text.trimmed(), qPrintable(where));
        QVERIFY2(!text.contains(QLatin1String("  ")), qPrintable(where));
        QVERIFY2(!text.contains(u'<') && !text.contains(u'>') && !text.contains(u'\\'),
                 qPrintable(where));
        ++checked;
    }
    QCOMPARE(checked, 31102);
}

void TestMakedb::refusedRunsMakeNothing_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");
    // "@" stands for the private folder of the run.
    QTest::newRow("unknown module, default file")
        << QStringList{"--module", "NoSuchBible"} << "--list-modules";
    QTest::newRow("two files") << QStringList{"@/a.db", "@/b.db"} << "unexpected argument";
    QTest::newRow("existing file") << QStringList{"@/existing.db"} << "exists already";
    QTest::newRow("folder in the way") << QStringList{"@/readonly"} << "exists already";
    QTest::newRow("missing folder") << QStringList{"@/nowhere/new.db"} << "does not exist";
    // Root writes into any folder whatever its mode; sysfs refuses new files even to root.
    QTest::newRow("unwritable folder")
        << QStringList{::geteuid() == 0 ? "/sys/versekeep-test.db" : "@/readonly/new.db"}
        << "cannot make a file";
}

void TestMakedb::refusedRunsMakeNothing() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    QTemporaryDir home;
    const QString folder = home.filePath(QStringLiteral("files"));
    QVERIFY(QDir().mkpath(folder + QStringLiteral("/readonly")));
    QFile existing(folder + QStringLiteral("/existing.db"));
    QVERIFY(existing.open(QIODevice::WriteOnly));
    existing.write("a learner's years of progress");
    existing.close();
    QVERIFY(QFile::setPermissions(folder + QStringLiteral("/readonly"),
                                  QFile::ReadOwner | QFile::ExeOwner));
    arguments.replaceInStrings(QStringLiteral("@"), folder);
    const QStringList before = contents(home.path());

    const Run run = makedb(home, arguments);
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
    QCOMPARE(contents(home.path()), before);
    QVERIFY(!QFile::exists(QStringLiteral("/sys/versekeep-test.db")));
}

void TestMakedb::interruptedBuildLeavesNothing() {
    QTemporaryDir home;
    QProcess process;
    process.setReadChannel(QProcess::StandardError);
    process.start(QStringLiteral(VERSEKEEP_MAKEDB), {home.filePath(QStringLiteral("new.db"))});
    QString err;
    while (!err.contains(QLatin1String("25%")) && process.waitForReadyRead(30000))
        err += QString::fromLocal8Bit(process.readAllStandardError());
    QVERIFY2(err.contains(QLatin1String("25%")), qPrintable(err));
    process.terminate();
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 128 + SIGTERM);
    QCOMPARE(contents(home.path()), QStringList());
}

void TestMakedb::defaultRunRecordsSettingsOnlyOnce() {
    QTemporaryDir home;
    const QString folder = home.filePath(QStringLiteral("data/versekeep/"));
    Run run = makedb(home, {});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("versekeep.db")});
    QCOMPARE(setting(home, "dbPath").toString(), folder);
    QCOMPARE(setting(home, "dbName").toString(), QStringLiteral("versekeep.db"));
    {
        Database made(folder + QStringLiteral("versekeep.db"));
        QCOMPARE(verseText(made, 43, 11, 35), QStringLiteral("Jesus wept."));
    }

    // A second database, this one keeping the module's characters, leaves the settings be.
    const QString other = home.filePath(QStringLiteral("other.db"));
    run = makedb(home, {QStringLiteral("--keep-characters"), other});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QVERIFY2(run.out.contains(QLatin1String("Left the settings")), qPrintable(run.out));
    QCOMPARE(setting(home, "dbPath").toString(), folder);
    QCOMPARE(setting(home, "dbName").toString(), QStringLiteral("versekeep.db"));
    Database kept(other);
    QVERIFY(verseText(kept, 40, 22, 21)
                .startsWith(QStringLiteral("They say unto him, C\u00E6sar\u2019s.")));
    QVERIFY(verseText(kept, 1, 1, 6).startsWith(QStringLiteral("And God said,")));
}

VERSEKEEP_TEST_MAIN(TestMakedb, QCoreApplication)
#include "test_makedb.moc"
