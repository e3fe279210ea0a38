#include "bible/builder.h"
#include "db/open.h"
#include "support/testdatabase.h"

#include <QDir>
#include <QProcess>
#include <QTest>
#include <csignal>
#include <unistd.h>

namespace {
struct Run {
    int exitCode = -1; // also for a crash, which is not a refusal
    QString output;    // standard output and error
};

// The real program, with settings and data folders inside home; stopAt25 sends it that
// signal once it has imported a quarter of the verses.
Run makedb(const QTemporaryDir &home, const QStringList &arguments, int stopAt25 = 0) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_CONFIG_HOME", home.filePath("config"));
    environment.insert("XDG_DATA_HOME", home.filePath("data"));
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral(VERSEKEEP_MAKEDB), arguments);
    Run run;
    while (stopAt25 && !run.output.contains("25%") && process.waitForReadyRead(30000))
        run.output += QString::fromLocal8Bit(process.readAll());
    if (stopAt25)
        ::kill(pid_t(process.processId()), stopAt25);
    if (process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit)
        run.exitCode = process.exitCode();
    run.output += QString::fromLocal8Bit(process.readAll());
    return run;
}

// The names in a folder, hidden ones too, by name.
QStringList names(const QString &folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

} // namespace

class TestMakedb : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void regionAndNoAbbreviation();
    void madeDatabases_data();
    void madeDatabases();
    void stoppedBuildsLeaveNothing_data();
    void stoppedBuildsLeaveNothing();
    void plainVerseText_data();
    void plainVerseText();
    void refusedRunsMakeNothing_data();
    void refusedRunsMakeNothing();

private:
    QTemporaryDir home_;
    const QString spanish_ = home_.filePath("spanish.db");
};

// The program as a learner runs it: stopped, killed, then two databases, the second the
// Spanish one the tests below read.
void TestMakedb::initTestCase() {
    const QString folder = home_.filePath("data/versekeep/");
    // Stopped, a build cleans up after itself.
    QCOMPARE(makedb(home_, {}, SIGTERM).exitCode, 128 + SIGTERM);
    QCOMPARE(names(folder), QStringList());
    // Killed outright, it leaves its part; the next build of the file clears that, and only
    // that: not a live build's part, another file's, nor anything else.
    QCOMPARE(makedb(home_, {}, SIGKILL).exitCode, -1);
    QVERIFY(!names(folder).isEmpty());
    QStringList expected{".versekeep.db." + QString::number(::getpid()) + "-0.part", "notes",
                         ".other.db.999999999-0.part", ".versekeep.db.999999999-0.partial"};
    for (const QString &name : expected)
        QVERIFY(QFile(folder + name).open(QIODevice::WriteOnly));
    Run run = makedb(home_, {"--keep-characters"});
    QCOMPARE(run.exitCode, 0);
    VERIFY_HOLDS(run.output, "Versekeep will open " + folder + "versekeep.db");
    expected += {"versekeep.chm", "versekeep.db"};
    expected.sort();
    QCOMPARE(names(folder), expected);
    Database kept(folder + "versekeep.db");
    QCOMPARE(VerseReader(kept)(40, 22, 21)->text->left(27),
             "They say unto him, C\u00E6sar\u2019s.");
    // A second database leaves the settings be.
    run = makedb(home_, {"--module", "spaRV1909eb", spanish_});
    VERIFY_HOLDS(run.output, "already point to " + folder + "versekeep.db");
}

// What the window lists beside a module: the language only, and no empty brackets.
void TestMakedb::regionAndNoAbbreviation() {
    const Translation bible{"m", "", "A", "pt-BR"};
    QCOMPARE((QStringList{bible.title(), bible.languageName()}), (QStringList{"A", "Portuguese"}));
}

// A verse read back from each database the program made: the test's KJV, made with the
// defaults, the Spanish one, and that one as a file from before the translation was stored.
void TestMakedb::madeDatabases_data() {
    QTest::addColumn<QString>("file");
    // Book, chapter and verse; the book's last chapter and the chapter's last verse.
    QTest::addColumn<QList<int>>("where");
    QTest::addColumn<QString>("stored"); // the book's name in the verse table
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("text");
    const auto row = [](const char *name, QString file, QList<int> where, QString stored,
                        QString shown, QString text) {
        QTest::newRow(name) << file << where << stored << shown << text;
    };
    row("quotes made plain", "KJV", {42, 17, 32, 24, 37}, "Luke", "Luke", "Remember Lot's wife.");
    row("a book named as readers know it", "KJV", {9, 3, 4, 31, 21}, "1 Samuel", "1 Samuel",
        "That the LORD called Samuel: and he answered, Here am I.");
    row("after an acrostic letter, with a footnote", "KJV", {19, 119, 1, 150, 176}, "Psalms",
        "Psalms", "Blessed are the undefiled in the way, who walk in the law of the LORD.");
    row("Spanish, the first verse", "RV1909", {1, 1, 1, 50, 31}, "Genesis", "G\u00E9nesis",
        "EN el principio cri\u00F3 Dios los cielos y la tierra.");
    row("Spanish, accents", "RV1909", {43, 11, 35, 21, 57}, "John", "Juan",
        "Y llor\u00F3 Jes\u00FAs.");
    const QString last =
        "La gracia de nuestro Se\u00F1or Jesucristo sea con todos vosotros. Am\u00E9n.";
    row("Spanish, the last verse", "RV1909", {66, 22, 21, 22, 21}, "Revelation", "Apocalipsis",
        last);
    row("Spanish, made before", "made before", {66, 22, 21, 22, 21}, "Revelation", "Revelation",
        last);
}

void TestMakedb::madeDatabases() {
    QFETCH(QString, file);
    QFETCH(QList<int>, where);
    QTemporaryDir folder;
    QVERIFY(QFile::copy(file == "KJV" ? VERSEKEEP_BIBLE_DB : spanish_, folder.filePath("copy.db")));
    if (file == "made before")
        Database(folder.filePath("copy.db")).execute("DROP TABLE Bible; DROP TABLE BibleBooks");
    Database db = openDatabase({folder.path() + '/', "copy.db"});
    const QHash<QString, QString> titles{{"KJV", "King James Version (KJV)"},
                                         {"RV1909", "Reina Valera 1909 (RV1909)"}};
    QCOMPARE(translationName(db), titles.value(file));
    const BookNames names(db);
    const std::optional<Verse> read = VerseReader(db)(where[0], where[1], where[2]);
    QVERIFY(read && read->text);
    QTEST(read->book, "stored");
    QTEST(names(where[0]), "shown");
    QTEST(names.ofStored(read->book), "shown");
    QCOMPARE(names.ofStored("Nowhere"), "Nowhere");
    QCOMPARE((QList{lastChapter(db, where[0]), lastVerse(db, where[0], where[1])}), where.mid(3));
    QTEST(*read->text, "text");
}

void TestMakedb::stoppedBuildsLeaveNothing_data() {
    QTest::addColumn<int>("stopAt"); // verses done
    QTest::newRow("before the first verse") << 0;
    QTest::newRow("after the last verse") << 31102;
}

void TestMakedb::stoppedBuildsLeaveNothing() {
    QFETCH(int, stopAt);
    QTemporaryDir folder;
    int last = -1;
    const auto progress = [&](int done, int total) {
        last = done;
        return done < stopAt && total == 31102;
    };
    QVERIFY(!buildDatabase(folder.filePath("stopped.db"), VerseSource::defaultModule,
                           {false, progress}));
    QCOMPARE(names(folder.path()), QStringList());
    QVERIFY(last >= stopAt && last < stopAt + 200); // stopped within a chapter
}

void TestMakedb::plainVerseText_data() {
    QTest::addColumn<QString>("raw");
    QTest::addColumn<bool>("keepCharacters");
    QTest::addColumn<QString>("plain");
    QTest::newRow("pilcrow, markers, tags, line breaks, blanks at the ends")
        << "\u00B6 my name \\nd JEHOVAH\\nd* was <i>I</i>\n  not  \n"
        << false << "my name JEHOVAH was I not";
    QTest::newRow("every folded character; letters of the language stay")
        << QString::fromUtf8("\u2018a\u2019 \u201Ab\u201B \u201Cc\u201D \u201Ed\u201F "
                             "1\u20102\u20113\u20124\u20135\u20146\u20157\u2026 "
                             "\u00E6\u00C6\u0153\u0152 \u00BFQui\u00E9n? Se\u00F1or")
        << false << "'a' 'b' \"c\" \"d\" 1-2-3-4-5-6-7... aeAeoeOe \u00BFQui\u00E9n? Se\u00F1or";
    QTest::newRow("kept characters") << "\u00B6 C\u00E6sar\u2019s \u201Cword\u201D\u2014  \n"
                                     << true << "C\u00E6sar\u2019s \u201Cword\u201D\u2014";
    QTest::newRow("invisible format characters, not the joiners")
        << "\u200Fmila\u00ADgro\uFEFF \u200F \U000E0041x\u200Cy\u200Dz\u200E" << true
        << "milagro x\u200Cy\u200Dz";
}

void TestMakedb::plainVerseText() {
    QFETCH(QString, raw);
    QFETCH(bool, keepCharacters);
    QTEST(::plainVerseText(raw, keepCharacters), "plain");
}

void TestMakedb::refusedRunsMakeNothing_data() {
    QTest::addColumn<QStringList>("arguments"); // "@" stands for the run's private folder
    QTest::addColumn<QString>("message");
    QTest::newRow("unknown module, default file")
        << QStringList{"--module", "NoSuchBible"} << "--list-modules";
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
    QTemporaryDir home;
    const QString existing = home.filePath("existing.db");
    QVERIFY(QFile::copy(QStringLiteral(VERSEKEEP_BIBLE_DB), existing));
    QVERIFY(QDir().mkdir(home.filePath("readonly"), QFile::ReadOwner | QFile::ExeOwner));
    const QStringList before = names(home.path());
    const Run run = makedb(home, arguments.replaceInStrings("@", home.path()));
    QCOMPARE(run.exitCode, 1);
    QFETCH(QString, message);
    VERIFY_HOLDS(run.output, message);
    QCOMPARE(names(home.path()), before);
    QCOMPARE(fingerprint(existing), fingerprint(QStringLiteral(VERSEKEEP_BIBLE_DB)));
    QVERIFY(!QFile::exists("/sys/versekeep-test.db"));
}

VERSEKEEP_TEST_MAIN(TestMakedb, QCoreApplication)
#include "test_makedb.moc"
