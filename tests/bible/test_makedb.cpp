#include "bible/builder.h"
#include "db/open.h"
#include "support/testdatabase.h"

#include <QDir>
#include <QProcess>
#include <QTest>
#include <QThread>
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

// The book's number and the verse's text.
QString verse(Database &db, const QString &book, int chapter, int verse) {
    Statement query(db, "SELECT BookNum || ' ' || VerseText FROM kjv WHERE Book = ? AND "
                        "Chapter = ? AND Verse = ?");
    query.bindAll(book, chapter, verse);
    return query.next() ? query.text(0) : QStringLiteral("(missing)");
}

// A build on a thread of its own, as a window runs one.
std::optional<BuildCount> buildOnWorker(const QString &target, const QString &module,
                                        const std::function<bool(int, int)> &progress = {}) {
    std::optional<BuildCount> count;
    std::unique_ptr<QThread> worker(QThread::create([&] {
        VerseSource source(module);
        count = buildDatabase(target, source, {false, progress});
    }));
    worker->start();
    worker->wait();
    return count;
}
} // namespace

class TestMakedb : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void translations_data();
    void translations();
    void spanishBible_data();
    void spanishBible();
    void description_data();
    void description();
    void stoppedBuildsLeaveNothing_data();
    void stoppedBuildsLeaveNothing();
    void plainVerseText_data();
    void plainVerseText();
    void refusedRunsMakeNothing_data();
    void refusedRunsMakeNothing();
    void killedBuildsThenTwoDatabases();

private:
    QTemporaryDir spanishFolder_;
    const QString spanish_ = spanishFolder_.filePath("spanish.db");
};

// Built once: a build takes seconds.
void TestMakedb::initTestCase() {
    QVERIFY(buildOnWorker(spanish_, "spaRV1909eb"));
}

void TestMakedb::translations_data() {
    QTest::addColumn<Translation>("bible");
    QTest::addColumn<bool>("installed");
    QTest::addColumn<QStringList>("shown"); // its title and language
    QTest::newRow("KJV") << Translation{"engKJV2006eb", "KJV", "King James Version", "en"} << true
                         << QStringList{"King James Version (KJV)", "English"};
    QTest::newRow("RV1909") << Translation{"spaRV1909eb", "RV1909", "Reina Valera 1909", "es"}
                            << true << QStringList{"Reina Valera 1909 (RV1909)", "Spanish"};
    QTest::newRow("region, no abbreviation")
        << Translation{"m", "", "A", "pt-BR"} << false << QStringList{"A", "Portuguese"};
}

void TestMakedb::translations() {
    QFETCH(Translation, bible);
    QTEST(VerseSource::installedBibles().contains(bible), "installed");
    QTEST((QStringList{bible.title(), bible.languageName()}), "shown");
}

void TestMakedb::spanishBible_data() {
    QTest::addColumn<int>("book");
    QTest::addColumn<int>("chapter");
    QTest::addColumn<int>("verse");
    QTest::addColumn<QString>("shown");   // the book's name shown
    QTest::addColumn<QList<int>>("ends"); // the book's last chapter, the chapter's last verse
    QTest::addColumn<QString>("words");
    QTest::newRow("Genesis") << 1 << 1 << 1 << "G\u00E9nesis" << QList{50, 31} << "EN el principio";
    QTest::newRow("Matthew") << 40 << 1 << 16 << "Mateo" << QList{28, 25}
                             << "naci\u00F3 Jes\u00FAs,";
    QTest::newRow("Revelation") << 66 << 22 << 21 << "Apocalipsis" << QList{22, 21}
                                << "nuestro Se\u00F1or Jesucristo";
}

void TestMakedb::spanishBible() {
    QFETCH(int, book);
    QFETCH(int, chapter);
    QFETCH(int, verse);
    Database db(spanish_);
    const BookNames names(db);
    const std::optional<Verse> read = VerseReader(db)(book, chapter, verse);
    QVERIFY(read && read->text);
    QTEST(names(book), "shown");
    QTEST(names.ofStored(read->book), "shown"); // the verse table keeps the English names
    QTEST((QList{lastChapter(db, book), lastVerse(db, book, chapter)}), "ends");
    QFETCH(QString, words);
    QVERIFY2(read->text->contains(words), qPrintable(*read->text));
}

void TestMakedb::description_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("madeBefore"); // a file from before the description was stored
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("revelation");
    QTest::newRow("KJV") << VERSEKEEP_BIBLE_DB << false << "King James Version (KJV)"
                         << "Revelation";
    QTest::newRow("RV1909") << spanish_ << false << "Reina Valera 1909 (RV1909)"
                            << "Apocalipsis";
    QTest::newRow("made before") << spanish_ << true << ""
                                 << "Revelation";
}

void TestMakedb::description() {
    QFETCH(QString, file);
    QTemporaryDir folder;
    QVERIFY(QFile::copy(file, folder.filePath("copy.db")));
    QFETCH(bool, madeBefore);
    if (madeBefore)
        Database(folder.filePath("copy.db")).execute("DROP TABLE Bible; DROP TABLE BibleBooks");
    Database db = openDatabase({folder.path() + '/', "copy.db"});
    QTEST(translationName(db), "title");
    const BookNames names(db);
    QFETCH(QString, revelation);
    QCOMPARE(names.books().last(), (ListEntry{66, revelation}));
    QCOMPARE(names.ofStored("Revelation"), revelation);
    QCOMPARE(names.ofStored("Nowhere"), "Nowhere");
}

void TestMakedb::stoppedBuildsLeaveNothing_data() {
    QTest::addColumn<int>("stopAt"); // verses done
    QTest::newRow("before the first verse") << 0;
    QTest::newRow("halfway") << 15000;
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
    QVERIFY(!buildOnWorker(folder.filePath("stopped.db"), VerseSource::defaultModule, progress));
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
    QVERIFY2(run.output.contains(message), qPrintable(run.output));
    QCOMPARE(names(home.path()), before);
    QCOMPARE(fingerprint(existing), fingerprint(QStringLiteral(VERSEKEEP_BIBLE_DB)));
    QVERIFY(!QFile::exists("/sys/versekeep-test.db"));
}

void TestMakedb::killedBuildsThenTwoDatabases() {
    QTemporaryDir home;
    const QString folder = home.filePath("data/versekeep/");
    // Stopped, a build cleans up after itself.
    QCOMPARE(makedb(home, {}, SIGTERM).exitCode, 128 + SIGTERM);
    QCOMPARE(names(folder), QStringList());
    // Killed outright, it leaves its part; the next build of the file clears that, and only
    // that: not a live build's part, another file's, nor anything else.
    QCOMPARE(makedb(home, {}, SIGKILL).exitCode, -1);
    QVERIFY(!names(folder).isEmpty());
    QStringList expected{".versekeep.db." + QString::number(::getpid()) + "-0.part", "notes",
                         ".other.db.999999999-0.part", ".versekeep.db.999999999-0.partial"};
    for (const QString &name : expected)
        QVERIFY(QFile(folder + name).open(QIODevice::WriteOnly));
    Run run = makedb(home, {});
    QVERIFY2(run.exitCode == 0 &&
                 run.output.contains("Versekeep will open " + folder + "versekeep.db"),
             qPrintable(run.output));
    expected += {"versekeep.chm", "versekeep.db"};
    expected.sort();
    QCOMPARE(names(folder), expected);
    // A second database, keeping the module's characters, leaves the settings be.
    run = makedb(home, {"--keep-characters", home.filePath("other.db")});
    QVERIFY2(run.output.contains("already point to " + folder + "versekeep.db"),
             qPrintable(run.output));
    // Books numbered and named as readers know them; Psalm 119:1 follows an acrostic letter
    // and has a footnote in the module. The second database keeps the module's characters.
    Database made(folder + "versekeep.db"), kept(home.filePath("other.db"));
    QCOMPARE(
        (QStringList{verse(made, "1 Samuel", 3, 4), verse(made, "Psalms", 119, 1),
                     verse(made, "Revelation", 22, 21), verse(kept, "Matthew", 22, 21).left(30)}),
        (QStringList{"9 That the LORD called Samuel: and he answered, Here am I.",
                     "19 Blessed are the undefiled in the way, who walk in the law of the LORD.",
                     "66 The grace of our Lord Jesus Christ be with you all. Amen.",
                     "40 They say unto him, C\u00E6sar\u2019s."}));
}

VERSEKEEP_TEST_MAIN(TestMakedb, QCoreApplication)
#include "test_makedb.moc"
