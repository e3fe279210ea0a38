#include "bible/builder.h"
#include "db/database.h"
#include "support/testdatabase.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
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

    void verseTableHasNoGaps();
    void versesArePlainText();

    void refusedRunsMakeNothing_data();
    void refusedRunsMakeNothing();
    void leftoversOfKilledBuildsGo();
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
    QTest::newRow("pilcrow, line breaks, blanks at the ends")
        << "\u00B6 And God said,\n  Let there be light:  \n"
        << fold << "And God said, Let there be light:";
    QTest::newRow("every folded character")
        << QString::fromUtf8("\u2018a\u2019 \u201Ab\u201B \u201Cc\u201D \u201Ed\u201F "
                             "1\u20102\u20113\u20124\u20135\u20146\u20157\u2026 "
                             "\u00E6\u00C6\u0153\u0152")
        << fold << "'a' 'b' \"c\" \"d\" 1-2-3-4-5-6-7... aeAeoeOe";
    QTest::newRow("letters of the language stay")
        << "\u00BFQui\u00E9n? Se\u00F1or" << fold << "\u00BFQui\u00E9n? Se\u00F1or";
    QTest::newRow("kept characters") << "\u00B6 C\u00E6sar\u2019s \u201Cword\u201D\u2014  \n"
                                     << keep << "C\u00E6sar\u2019s \u201Cword\u201D\u2014";
}

void TestMakedb::plainVerseText() {
    QFETCH(QString, raw);
    QFETCH(bool, keepCharacters);
    QFETCH(QString, plain);
    QCOMPARE(::plainVerseText(raw, keepCharacters), plain);
}

void TestMakedb::verseTableHasNoGaps() {
    // One name a book; chapters and verses numbered from 1 without gaps.
    for (const char *query : {"SELECT count(*) FROM (SELECT BookNum FROM kjv GROUP BY BookNum "
                              "HAVING count(DISTINCT Book) <> 1)",
                              "SELECT count(*) FROM (SELECT BookNum FROM kjv GROUP BY BookNum "
                              "HAVING min(Chapter) <> 1 OR max(Chapter) <> count(DISTINCT Chapter))",
                              "SELECT count(*) FROM (SELECT BookNum FROM kjv GROUP BY BookNum, "
                              "Chapter HAVING min(Verse) <> 1 OR max(Verse) <> count(*))"})
        QCOMPARE(bible_.count(query), 0);
}

void TestMakedb::versesArePlainText() {
    const struct {
        int book, chapter, verse;
        const char *text;
    } known[] = {
        // After the acrostic letter, and with a footnote taken out.
        {19, 119, 1, "Blessed are the undefiled in the way, who walk in the law of the LORD."},
        // A stray marker.
        {2, 6, 3, "And I appeared unto Abraham, unto Isaac, and unto Jacob, by the name of God "
                  "Almighty, but by my name JEHOVAH was I not known to them."},
        // A ligature and typographic apostrophes.
        {40, 22, 21, "They say unto him, Caesar's. Then saith he unto them, Render therefore unto "
                     "Caesar the things which are Caesar's; and unto God the things that are God's."},
    };
    for (const auto &verse : known)
        QCOMPARE(verseText(bible_.db(), verse.book, verse.chapter, verse.verse), verse.text);

    // Every verse: printable ASCII, no markup, single blanks, none at either end.
    static const QRegularExpression plain(QStringLiteral(R"(^[!-;=?-\[\]-~]+( [!-;=?-\[\]-~]+)*$)"));
    Statement query(bible_.db(), "SELECT Book, Chapter, Verse, VerseText FROM kjv");
    int checked = 0;
    for (; query.next(); ++checked) {
        const QString text = query.text("VerseText");
        QVERIFY2(plain.match(text).hasMatch(), qPrintable(QStringLiteral("%1 %2:%3: \"%4\"")
                                                            .arg(query.text("Book"))
                                                            .arg(query.integer("Chapter"))
                                                            .arg(query.integer("Verse"))
                                                            .arg(text)));
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
    QTest::newRow("empty file name") << QStringList{""} << "the file name is empty";
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

void TestMakedb::leftoversOfKilledBuildsGo() {
    // A build killed outright leaves its part and journal; only those of gone processes of
    // this target go, never a live build's or anything else.
    QTemporaryDir home;
    const QString live = QString::number(QCoreApplication::applicationPid());
    const QStringList kept{".new.db." + live + "-0.part", ".other.db.999999999-0.part",
                           ".new.db.999999999-0.partial", "notes"};
    for (const QString &name : kept + QStringList{".new.db.999999999-0.part",
                                                  ".new.db.999999999-0.part-journal"})
        QVERIFY(QFile(home.filePath(name)).open(QIODevice::WriteOnly));
    const Run run = makedb(home, {home.filePath("new.db")});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QStringList expected = kept + QStringList{"config", "new.db", "versekeep.chm"};
    expected.sort();
    QCOMPARE(QDir(home.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                         QDir::Name),
             expected);
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
             (QStringList{"versekeep.chm", "versekeep.db"})); // with the help beside it
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
