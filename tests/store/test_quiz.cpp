#include "core/clock.h"
#include "learning/schedule.h"
#include "store/passages.h"
#include "store/progressreport.h"
#include "store/quiz.h"
#include "store/wordsize.h"
#include "support/testdatabase.h"

#include <QFile>
#include <QTest>

// The quiz over a real database: which page comes next, whose, and what judged pages store.
class TestQuiz : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void walkingTheDueList();
    void oneVerseLearntToPassageLevel3();
    void absurdStoredValues_data();
    void absurdStoredValues();
    void askedAsTheRuleSays_data();
    void askedAsTheRuleSays();
    void wordsKeptOnceAVerse_data();
    void wordsKeptOnceAVerse();
    void aDamagedPassageIsLeftOut_data();
    void aDamagedPassageIsLeftOut();
    void wordsLearntByRange_data();
    void wordsLearntByRange();
    void aLongPageStoredVerseByVerse();
    void keptRowsShowTheFileAsItIs_data();
    void keptRowsShowTheFileAsItIs();

private:
    // A passage of one verse of John 11 for user 1, added now.
    void john11(int verse);

    std::optional<TestDatabase> test_;
    FixedClock clock_{QDateTime()};
    std::optional<Quiz> quiz_;
};

namespace {
// The one passage and its verse as stored: "numVersestoAsk/passageScore/passagelevel date;
// verseLevel/WordSizeLevel/minWordSize/verseScore date".
QString stored(Database &db) {
    Statement row(db, "SELECT numVersestoAsk || '/' || passageScore || '/' || passagelevel || ' ' "
                      "|| p.scheduledate || '; ' || verseLevel || '/' || WordSizeLevel || '/' || "
                      "minWordSize || '/' || verseScore || ' ' || v.ScheduleDate "
                      "FROM Passages p JOIN PassageVerses v ON v.passageID = p.id");
    return row.next() ? row.text(0) : QString();
}

// Every figure of a report, a passage a line.
QString figures(const ProgressReport &report) {
    QString text = QStringLiteral("%1 %2 %3 %4 %5;").arg(report.versesLearning)
                       .arg(report.versesMatured).arg(report.versesWaiting)
                       .arg(report.versesDue).arg(report.passagesDue);
    for (const ForecastDay &day : report.forecast)
        text += QStringLiteral(" %1:%2/%3").arg(day.date.toString(Qt::ISODate))
                    .arg(day.verses).arg(day.passages);
    for (int count : report.versesByLevel)
        text += QStringLiteral(" %1").arg(count);
    for (int count : report.levelOneByStage)
        text += QStringLiteral(" %1").arg(count);
    for (const PassageProgress &p : report.passages)
        text += QStringLiteral("\n%1 %2 %3/%4 %5 %6 %7 %8 %9/%10").arg(p.id).arg(p.range)
                    .arg(p.versesIn).arg(p.verses).arg(p.level).arg(p.nextReview, p.askableFrom)
                    .arg(p.readingOrder).arg(int(p.wait.unit)).arg(p.wait.count);
    return text;
}
} // namespace

void TestQuiz::init() {
    test_.emplace(TestDatabase::withBible());
    test_->db().execute("INSERT INTO Users (id, Name) VALUES (1, 'Ann'), (2, 'Ann')");
    clock_.set(fromDbText("2026-12-06 10:00:00"));
    quiz_.emplace(test_->db(), clock_);
}

void TestQuiz::john11(int verse) {
    addPassage(test_->db(), clock_, {{43, "John", 11, verse}, {43, "John", 11, verse}}, "Ann", 1);
}

void TestQuiz::walkingTheDueList() {
    john11(35);
    // Another user of the same name, with a passage across two books.
    addPassage(test_->db(), clock_, {{1, "Genesis", 50, 25}, {2, "Exodus", 1, 2}}, "Ann", 2);
    john11(36);
    john11(37);
    // Due in the opposite order to their adding, passage 1 only to the minute.
    test_->db().execute("UPDATE Passages SET numVersestoAsk = 5, scheduledate = CASE id "
                        "WHEN 1 THEN '2026-12-06 10:00:59' WHEN 3 THEN '2026-12-06 09:30:00' "
                        "WHEN 4 THEN '2026-12-05 08:00:00' ELSE scheduledate END");
    quiz_->start(1);
    // Each step: the passage to make not due, the one whose verse to make not due, and the
    // passage the next page takes (0: the empty page).
    const int steps[][3] = {
        {0, 0, 1}, {0, 0, 3}, {0, 0, 4}, {0, 0, 1}, // past the last: start over
        {1, 0, 4},                                  // P1 done: the second round takes P4
        {4, 0, 3},                                  // past the end with P3 still due: start over
        {0, 3, 0},                                  // due, but no verse to ask: nothing left
    };
    for (const auto &[passage, verseOf, expected] : steps) {
        Statement(test_->db(), "UPDATE Passages SET scheduledate = '2027-01-01 00:00:00' "
                               "WHERE id = ?").bindAll(passage).run();
        Statement(test_->db(), "UPDATE PassageVerses SET ScheduleDate = '2027-01-01 00:00:00' "
                               "WHERE passageID = ?").bindAll(verseOf).run();
        const bool empty = quiz_->makeQuestion() == emptyPage();
        QCOMPARE(empty ? 0 : quiz_->state().currentPassageID, qint64(expected));
    }
    // Then the passage asked first, though another comes first by its own date (P3, 09:30).
    test_->db().execute("UPDATE Passages SET scheduledate = '2026-12-06 11:00:00' WHERE id = 4");
    const Upcoming next = quiz_->upcoming();
    QCOMPARE(QStringLiteral("%1 %2 %3").arg(next.passages).arg(next.range, next.from),
             "3 John 11:37 - John 11:37 2026-12-06 11:00:00");
    // The other user is asked only their own passage, its verses in reading order.
    quiz_->start(2);
    const QString page = quiz_->makeQuestion();
    QList<qsizetype> headings;
    for (const char *verse : {"Genesis 50:25", "Genesis 50:26", "Exodus 1:1", "Exodus 1:2"})
        headings << page.indexOf(QLatin1String(verse));
    QVERIFY(headings.first() >= 0 && std::is_sorted(headings.begin(), headings.end()));
    QCOMPARE(quiz_->state().currentPassageID, 2);
}

void TestQuiz::oneVerseLearntToPassageLevel3() {
    // A day between pages crosses a change of the clocks in some zones on the way.
    clock_.set(fromDbText("2026-03-27 12:00:00"));
    john11(35);
    quiz_->start(1);
    QStringList asked;
    QList<BlankAnswer> answers;
    for (int day = 1; day <= 11; ++day) {
        clock_.set(clock_.now().addDays(1));
        quiz_->makeQuestion();
        const Blank blank = quiz_->state().blanks.first();
        asked << blank.expected;
        answers = {{blank.verseId, blank.expected, blank.expected}};
        QVERIFY(quiz_->submit(answers).pageRight);
    }
    // Down the whole word-size ladder, faster as the thresholds fall, until every word is
    // blanked; the verse matures and the passage, whole, climbs its review ladder.
    QCOMPARE(asked, (QStringList{"Jesus", "Jesus", "Jesus", "Jesus", "Jesus wept", "Jesus wept",
                                 "Jesus wept.", "Jesus wept.", "Jesus wept.", "Jesus wept.",
                                 "Jesus wept."}));
    QCOMPARE(stored(test_->db()), "2/0/3 2026-04-07 12:10:00; 3/5/0/1 2026-04-06 12:10:00");
    // A page is judged once: afterwards it holds no blank.
    QCOMPARE(errorNumberOf([&] { quiz_->submit(answers); }), int(Error::BadInput));
}

void TestQuiz::absurdStoredValues_data() {
    QTest::addColumn<QByteArray>("sql"); // sets a number of the passage or its verse to ?
    QTest::addColumn<qint64>("value");
    QTest::addColumn<QString>("after"); // the blank asked, stored(), then the progress table's
                                        // "verses in/verses level"
    const qint64 top = std::numeric_limits<qint64>::max();
    const qint64 foot = std::numeric_limits<qint64>::min();
    const auto row = [](const char *name, const QByteArray &sql, qint64 value, const char *after) {
        QTest::newRow(name) << sql << value
                            << QString::fromLatin1(after).arg("2026-12-06 10:00:00");
    };
    const QByteArray verse = "UPDATE PassageVerses SET verseScore = 5, ";
    const QByteArray whole = "UPDATE Passages SET numVersestoAsk = 2, ";
    // Clamped to a million when read, and so when written (%1: now, the date unchanged).
    row("verseLevel top", verse + "verseLevel = ?", top,
        "Jesus 1/0/1 %1; 1000000/2/4/0 2027-04-06 10:00:00 1/1 1");
    row("WordSizeLevel at int's top", verse + "WordSizeLevel = ?", 2147483647,
        "Jesus 2/1/1 %1; 2/1000001/0/0 2026-12-06 10:05:00 1/1 1");
    row("WordSizeLevel foot", verse + "WordSizeLevel = ?", foot,
        "Jesus 1/0/1 %1; 1/-999999/5/0 %1 1/1 1");
    row("verseScore top", "UPDATE PassageVerses SET verseScore = ?", top,
        "Jesus 1/0/1 %1; 1/2/4/0 %1 1/1 1");
    row("minWordSize foot", "UPDATE PassageVerses SET minWordSize = ?", foot,
        "Jesus wept. 1/0/1 %1; 1/1/-1000000/1 %1 1/1 1");
    row("passageScore top", whole + "passageScore = ?", top,
        "Jesus 2/0/2 2026-12-06 10:05:00; 1/1/5/1 %1 1/1 2");
    row("passagelevel top", whole + "passagelevel = ?", top,
        "Jesus 2/1/1000000 2027-04-06 10:00:00; 1/1/5/1 %1 1/1 1000000");
    row("numVerses top", "UPDATE Passages SET numVerses = ?", top,
        "Jesus 1/0/1 %1; 1/1/5/1 %1 1/1000000 1");
    row("numVerses foot", "UPDATE Passages SET numVerses = ?", foot,
        "- 1/0/1 %1; 1/1/5/0 %1 0/-1000000 1");
    row("VerseBook top", "UPDATE PassageVerses SET VerseBook = ?", top,
        "- 1/0/1 %1; 1/1/5/0 %1 1/1 1");
}

void TestQuiz::absurdStoredValues() {
    QFETCH(QByteArray, sql);
    QFETCH(qint64, value);
    john11(35);
    Statement(test_->db(), sql.constData()).bindAll(value).run();
    quiz_->start(1);
    quiz_->makeQuestion();
    QString asked = "-";
    if (!quiz_->state().blanks.isEmpty()) {
        const Blank blank = quiz_->state().blanks.first();
        asked = blank.expected;
        quiz_->submit({{blank.verseId, blank.expected, blank.expected}});
    }
    const PassageProgress p = progressReport(test_->db(), clock_, 1).passages.value(0);
    const QString progress = QStringLiteral("%1/%2 %3").arg(p.versesIn).arg(p.verses).arg(p.level);
    QTEST(asked + ' ' + stored(test_->db()) + ' ' + progress, "after");
}

// "HH:MM" or "HH:MM:SS" on 2026-12-06; anything else as it is.
static QString onTheDay(const QString &time) {
    if (!time.contains(u':'))
        return time;
    return "2026-12-06 " + time + (time.size() == 5 ? ":00" : "");
}

void TestQuiz::askedAsTheRuleSays_data() {
    QTest::addColumn<QString>("passage"); // its date
    QTest::addColumn<int>("toAsk");
    QTest::addColumn<QString>("verses");  // John 11: verse number:minWordSize@date, as they read
    QTest::addColumn<QString>("askable"); // from when; empty: never
    // At 10:00. John 11:35 has no word over 5 letters, 11:36 one of 6 ("Behold").
    const auto row = [](const char *name, const char *passage, int toAsk, const char *verses,
                        const char *askable) {
        QTest::newRow(name) << passage << toAsk << verses << askable;
    };
    row("due, its verse due", "09:00", 1, "35:5@09:00 36:6@09:00", "09:00");
    row("due to the minute", "10:00:59", 1, "35:5@09:00 36:6@09:00", "10:00:59");
    row("due, its verse later, the next not in", "09:00", 1, "35:5@12:00 36:6@09:30", "12:00");
    row("its verse due, the passage later", "11:00", 1, "35:5@09:00 36:6@09:00", "11:00");
    row("the second verse in and due first", "09:00", 2, "35:5@12:00 36:6@09:30", "09:30");
    row("a word size no word has", "09:00", 1, "35:6@09:00 36:6@09:00", "");
    row("all in, the first that blanks", "09:00", 3, "35:6@08:00 36:6@11:00", "11:00");
    row("a verse the table lacks", "09:00", 1, "0:1@09:00 36:6@09:00", "");
    row("none in", "09:00", 0, "35:5@09:00 36:6@09:00", "");
    row("a date that cannot be read", "soon", 1, "35:5@09:00 36:6@09:00", "soon");
}

void TestQuiz::askedAsTheRuleSays() {
    QFETCH(QString, passage);
    QFETCH(int, toAsk);
    QFETCH(QString, verses);
    QFETCH(QString, askable);
    addPassage(test_->db(), clock_, {{43, "John", 11, 35}, {43, "John", 11, 36}}, "Ann", 1);
    Statement(test_->db(), "UPDATE Passages SET scheduledate = ?, numVersestoAsk = ?")
        .bindAll(onTheDay(passage), toAsk)
        .run();
    qint64 id = 0;
    for (const QString &verse : verses.split(u' '))
        Statement(test_->db(), "UPDATE PassageVerses SET VerseNum = ?, minWordSize = ?, "
                               "ScheduleDate = ? WHERE id = ?")
            .bindAll(verse.section(u':', 0, 0), verse.section(u'@', 0, 0).section(u':', 1),
                     onTheDay(verse.section(u'@', 1)), ++id)
            .run();
    // The rule, as the quiz walks the rows and as the progress report counts them.
    const QString from = onTheDay(askable);
    const bool now = !from.isEmpty() && DueAt(clock_.now())(from);
    quiz_->start(1);
    QCOMPARE(quiz_->makeQuestion() != emptyPage(), now);
    QCOMPARE(quiz_->upcoming().from, from);
    ProgressReports reports(test_->db());
    for (int time = 1; time <= 2; ++time) { // the verses measured, then known
        const ProgressReport report = reports(clock_, 1);
        QCOMPARE(report.passages.first().askableFrom, from);
        QCOMPARE(report.passagesDue, int(now));
    }
}

void TestQuiz::wordsKeptOnceAVerse_data() {
    QTest::addColumn<qint64>("book");
    QTest::addColumn<qint64>("chapter");
    QTest::addColumn<qint64>("verse");
    QTest::addColumn<QString>("words"); // steps/longest; empty for none
    QTest::addColumn<int>("kept");      // verses kept once asked, this row's among them
    const qint64 top = std::numeric_limits<qint64>::max();
    QTest::newRow("in the table") << qint64(43) << qint64(11) << qint64(35) << "3/5" << 1;
    QTest::newRow("without text") << qint64(43) << qint64(11) << qint64(36) << "0/-1" << 1;
    QTest::newRow("not in the table") << qint64(43) << qint64(11) << qint64(37) << "" << 0;
    QTest::newRow("numbers past any Bible's") << top << top << top << "" << 0;
    QTest::newRow("negative numbers") << qint64(-43) << qint64(-11) << qint64(-35) << "" << 0;
}

// Each verse of the table is measured once, and only verses of the table are kept.
void TestQuiz::wordsKeptOnceAVerse() {
    QFETCH(qint64, book);
    QFETCH(qint64, chapter);
    QFETCH(qint64, verse);
    TestDatabase test;
    test.db().execute("INSERT INTO kjv VALUES (43, 'John', 11, 35, 'Jesus wept.'), "
                      "(43, 'John', 11, 36, NULL)");
    VerseWordsCache cache;
    for (int time = 1; time <= 3; ++time) {
        cache.learn(test.db(), {{book, chapter, verse}});
        const std::optional<VerseWords> words = cache.known({book, chapter, verse});
        QTEST(words ? QStringLiteral("%1/%2").arg(words->steps).arg(words->longest) : QString(),
              "words");
        QTEST(int(cache.size()), "kept");
    }
}

void TestQuiz::aDamagedPassageIsLeftOut_data() {
    QTest::addColumn<QByteArray>("sql"); // on the first passage, John 11:35
    QTest::addColumn<QString>("pages");  // the passage of each page, right or not; what was left out
    const auto row = [](const char *name, const char *sql, const char *pages) {
        QTest::newRow(name) << QByteArray(sql) << QString::fromLatin1(pages);
    };
    row("verseLevel a text", "UPDATE PassageVerses SET verseLevel = 'x' WHERE passageID = 1",
        "| John 11:35 - John 11:35 13 2+ 2+ 2+");
    row("verseScore a fraction", "UPDATE PassageVerses SET verseScore = '1.5' WHERE id = 1",
        "| John 11:35 - John 11:35 13 2+ 2+ 2+");
    row("no verse text", "UPDATE kjv SET VerseText = NULL WHERE Verse = 35",
        "| John 11:35 - John 11:35 94 2+ 2+ 2+");
    row("its range unreadable too", "UPDATE Passages SET passageScore = 'x', startverse = 'x' "
        "WHERE id = 1", "|  13 2+ 2+ 2+");
    // The browser turns a NUL into U+FFFD in the page's copy and a CR typed into a blank.
    row("a NUL and a CR in the text",
        "UPDATE kjv SET VerseText = 'Jesus' || char(0) || char(13) || 'wept.' WHERE Verse = 35",
        "1+ 2+ 1+");
}

void TestQuiz::aDamagedPassageIsLeftOut() {
    QFETCH(QByteArray, sql);
    john11(35);
    john11(36);
    test_->db().execute(sql.constData());
    quiz_->start(1);
    QString pages;
    for (int page = 0; page < 3; ++page) {
        quiz_->makeQuestion();
        for (const LeftOut &passage : quiz_->takeLeftOut())
            pages += QStringLiteral("| %1 %2 ").arg(passage.range).arg(passage.error.number());
        QList<BlankAnswer> answers;
        for (const Blank &blank : quiz_->state().blanks)
            answers.append({blank.verseId, QString(blank.expected).replace(QChar(0), QChar(0xfffd)),
                            QString(blank.expected).replace(u'\r', u' ')});
        if (!answers.isEmpty())
            pages += QStringLiteral("%1%2 ").arg(quiz_->state().currentPassageID)
                         .arg(quiz_->submit(answers).pageRight ? '+' : '-');
    }
    QTEST(pages.trimmed(), "pages");
}

void TestQuiz::wordsLearntByRange_data() {
    QTest::addColumn<QString>("places"); // book:chapter:verse, as a report meets them
    QTest::addColumn<QString>("words");  // steps/longest of each, "-" for none
    QTest::addColumn<int>("kept");
    const auto row = [](const char *name, const char *places, const char *words, int kept) {
        QTest::newRow(name) << places << words << kept;
    };
    row("a chapter, a verse between not asked", "43:11:34 43:11:36", "3/4 0/-1", 2);
    row("chapters and books, out of order, twice", "65:1:1 43:12:1 43:11:35 65:1:1",
        "4/7 3/5 3/5 4/7", 3);
    row("some not in the table", "43:11:33 43:11:35 43:13:1 0:0:0", "- 3/5 - -", 1);
    row("past any Bible's", "9223372036854775807:1:1 43:-11:35", "- -", 0);
}

// Verses measured in one go, by ranges of the table, are each the verse asked for.
void TestQuiz::wordsLearntByRange() {
    QFETCH(QString, places);
    TestDatabase test;
    test.db().execute("INSERT INTO kjv VALUES (43, 'John', 11, 34, 'Come and see.'), "
                      "(43, 'John', 11, 35, 'Jesus wept.'), (43, 'John', 11, 36, NULL), "
                      "(43, 'John', 12, 1, 'Then Jesus six days'), "
                      "(65, 'Jude', 1, 1, 'Jude, the servant')");
    QList<VersePlace> asked;
    for (const QString &place : places.split(u' '))
        asked.append({place.section(u':', 0, 0).toLongLong(),
                      place.section(u':', 1, 1).toLongLong(),
                      place.section(u':', 2, 2).toLongLong()});
    VerseWordsCache cache;
    cache.learn(test.db(), asked);
    QStringList words;
    for (const VersePlace &place : std::as_const(asked)) {
        const std::optional<VerseWords> known = cache.known(place);
        words << (known ? QStringLiteral("%1/%2").arg(known->steps).arg(known->longest) : "-");
    }
    QTEST(words.join(u' '), "words");
    QTEST(int(cache.size()), "kept");
}

// A long page is written some verses to a statement: each verse's row gets its own outcome,
// across the statements' bounds too.
void TestQuiz::aLongPageStoredVerseByVerse() {
    addPassage(test_->db(), clock_, {{19, "Psalms", 119, 1}, {19, "Psalms", 119, 70}}, "Ann", 1);
    test_->db().execute("UPDATE Passages SET numVersestoAsk = 71");
    quiz_->start(1);
    quiz_->makeQuestion();
    QList<BlankAnswer> answers;
    for (const Blank &blank : quiz_->state().blanks) // the odd verses right, the even wrong
        answers.append({blank.verseId, blank.expected, blank.verseId % 2 ? blank.expected : "x"});
    QVERIFY(!quiz_->submit(answers).pageRight);
    Statement rows(test_->db(), "SELECT id % 2, verseScore || ' ' || ScheduleDate FROM "
                                "PassageVerses ORDER BY id");
    QMap<qint64, QSet<QString>> outcomes;
    int count = 0;
    for (; rows.next(); ++count)
        outcomes[rows.integer(0)].insert(rows.text(1));
    QCOMPARE(count, 70);
    QCOMPARE(outcomes.value(1).size() + outcomes.value(0).size(), 2);
    QVERIFY(outcomes.value(1) != outcomes.value(0));
}

void TestQuiz::keptRowsShowTheFileAsItIs_data() {
    QTest::addColumn<QString>("change");
    QTest::addColumn<int>("read");   // passages read again; 3: all of Ann's
    QTest::addColumn<bool>("shows"); // whether the figures change
    const auto row = [](const char *change, int read, bool shows) {
        QTest::newRow(change) << QString::fromLatin1(change) << read << shows;
    };
    row("nothing written", 0, false);
    row("a page judged, told", 1, true);
    row("a page judged, untold", 3, true);
    row("a page letting a verse in, told", 1, true);
    row("another user's page judged, told", 0, false);
    row("a page judged, told, another passage written", 3, true);
    row("a passage added", 4, true);
    row("a passage deleted", 2, true);
    row("another copy of the program writes", 3, true);
    row("restored: another file", 3, true);
    row("a day later", 0, true);
}

// The rows a report kept serve the next only as long as they are what the file holds.
void TestQuiz::keptRowsShowTheFileAsItIs() {
    QFETCH(QString, change);
    Database &db = test_->db();
    john11(35);
    addPassage(db, clock_, {{43, "John", 11, 33}, {43, "John", 11, 36}}, "Ann", 1);
    john11(34);
    addPassage(db, clock_, {{43, "John", 11, 35}, {43, "John", 11, 35}}, "Ann", 2);
    // A right page climbs passage 1's verse a rung, and lets in passage 2's second verse;
    // passage 3 falls due tomorrow, its verse half an hour later.
    db.execute("UPDATE PassageVerses SET verseScore = 5 WHERE passageID = 1;"
               "UPDATE PassageVerses SET verseScore = 5, WordSizeLevel = 99, minWordSize = 1 "
               "WHERE passageID = 2 AND VerseNum = 33;"
               "UPDATE Passages SET scheduledate = '2026-12-07 09:00:00' WHERE id = 3;"
               "UPDATE PassageVerses SET ScheduleDate = '2026-12-07 09:30:00' WHERE passageID = 3");
    db = Database(test_->path()); // that has written nothing, as one opened on a restored file
    ProgressReports reports(db);
    const QString before = figures(reports(clock_, 1));
    const auto judged = [&](qint64 user, int passing = 0) { // the due passages passed over
        Quiz quiz(db, clock_);
        quiz.start(user);
        for (int page = 0; page <= passing; ++page)
            quiz.makeQuestion();
        QList<BlankAnswer> answers;
        for (const Blank &blank : quiz.state().blanks)
            answers.append({blank.verseId, blank.expected, blank.expected});
        quiz.submit(answers);
        return quiz.state().written;
    };
    const char *const elsewhere = "UPDATE PassageVerses SET verseLevel = 4 WHERE passageID = 2";
    if (change.startsWith("a page judged")) {
        const PassageWritten written = judged(1);
        if (!change.endsWith("untold"))
            reports.written(written);
    }
    if (change.startsWith("a page letting"))
        reports.written(judged(1, 1));
    if (change.startsWith("another user's"))
        reports.written(judged(2));
    if (change.endsWith("another passage written"))
        db.execute(elsewhere);
    if (change.endsWith("added"))
        john11(37);
    if (change.endsWith("deleted"))
        deletePassage(db, 2);
    if (change.startsWith("another copy"))
        Database(test_->path()).execute(elsewhere);
    if (change.startsWith("restored")) {
        const QString copy = test_->folder() + "copy.db";
        QVERIFY(QFile::copy(test_->path(), copy));
        Database(copy).execute(elsewhere);
        db = Database(copy);
    }
    if (change.endsWith("later"))
        clock_.set(clock_.now().addDays(1));
    const QString again = figures(reports.again(clock_));
    QTEST(reports.passagesRead(), "read");
    QCOMPARE(again, figures(progressReport(db, clock_, 1)));
    QTEST(again != before, "shows");
}

QTEST_GUILESS_MAIN(TestQuiz)
#include "test_quiz.moc"
