#include "core/clock.h"
#include "learning/answers.h"
#include "learning/difference.h"
#include "learning/page.h"
#include "learning/schedule.h"
#include "learning/steps.h"
#include "learning/tokens.h"
#include "learning/wordsize.h"
#include "support/testdatabase.h"

#include <QTest>

// The learning rules, numbers and texts in and out: the review ladder and the wait until due,
// what a judged page moves, the split of a verse, the question page, and judging answers.
class TestLearning : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void ladder_data();
    void ladder();
    void waits_data();
    void waits();
    void minuteNumbers_data();
    void minuteNumbers();
    void judgedPage_data();
    void judgedPage();
    void blanksOfAVerse_data();
    void blanksOfAVerse();
    void wordsOfAVerse_data();
    void wordsOfAVerse();
    void pageText();
    void longRuns_data();
    void longRuns();
    void CookVerse_data();
    void CookVerse();
    void judging_data();
    void judging();
    void wordDifference_data();
    void wordDifference();
    void dueWhen_data();
    void dueWhen();
};

namespace {
// Pages are built and judged at 10:00 on 2026-12-06; records were last scheduled before.
const QDateTime now = fromDbText(QStringLiteral("2026-12-06 10:00:00"));
const QString before = QStringLiteral("2026-12-01 09:00:00");

QList<int> numbers(const QString &text) {
    QList<int> values;
    for (const QString &value : text.split(u'/'))
        values << value.toInt();
    return values;
}

QString described(const QList<int> &values, const QString &date) {
    QStringList parts;
    for (int value : values)
        parts << QString::number(value);
    const QString when = date.startsWith(u"2026-12-06") ? date.mid(11, 5) : date.mid(5, 11);
    return parts.join(u'/') + (date == before ? QString() : '@' + when);
}

PageVerse verse(qint64 id, const QString &text, int minWordSize,
                const QString &due = QStringLiteral("2026-12-06 10:00:59"),
                const QString &book = QStringLiteral("John")) {
    return {id, minWordSize, due, VerseText{book, 11, 35, text}};
}
} // namespace

void TestLearning::ladder_data() {
    QTest::addColumn<QByteArray>("zone"); // empty: the zone the test runs in
    QTest::addColumn<QString>("from");
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("wait"); // from then on the wall clock (waitUntil), if given
    QTest::addColumn<int>("offset");   // of the result from UTC, in hours, in the zone given
    // Every rung, from a moment that no interval carries across a month's end.
    const char *const rungs[] = {
        "2026-06-01 12:00:00", "2026-06-01 12:05:00", "2026-06-01 12:10:00", "2026-06-01 12:15:00",
        "2026-06-01 12:30:00", "2026-06-01 12:45:00", "2026-06-01 13:00:00", "2026-06-01 14:00:00",
        "2026-06-01 16:00:00", "2026-06-01 20:00:00", "2026-06-02 00:00:00", "2026-06-02 12:00:00",
        "2026-06-03 12:00:00", "2026-06-05 12:00:00", "2026-06-08 12:00:00", "2026-06-15 12:00:00",
        "2026-06-22 12:00:00", "2026-07-01 12:00:00", "2026-08-01 12:00:00"};
    const auto row = [](const char *name, const char *zone, const char *from, int level,
                        const char *expected, const char *wait, int offset = 0) {
        QTest::newRow(name) << QByteArray(zone) << from << level << expected << wait << offset;
    };
    for (int level = 1; level <= 19; ++level)
        row(qPrintable(QString::number(level)), "", rungs[0], level, rungs[level - 1], "");
    for (int level : {0, -3, 20, 99}) // four months
        row(qPrintable(QString::number(level)), "", rungs[0], level, "2026-10-01 12:00:00", "");
    row("31 Jan + 1 month", "", "2026-01-31 08:00:00", 18, "2026-02-28 08:00:00", "28 days");
    row("31 Jan + 1 month, leap", "", "2028-01-31 08:00:00", 18, "2028-02-29 08:00:00", "29 days");
    row("31 Dec + 2 months", "", "2026-12-31 23:00:00", 19, "2027-02-28 23:00:00", "59 days");
    row("31 Oct + 4 months", "", "2026-10-31 10:00:00", 20, "2027-02-28 10:00:00", "120 days");
    row("across the year", "", "2026-12-31 23:50:00", 5, "2027-01-01 00:20:00", "30 minutes");
    // Minutes and hours count on the clock reading, not as time elapsed, and so does the
    // wait; a reading the change skips steps over the gap, one it repeats is its first pass.
    const char *const london = "Europe/London";
    row("hours, spring change", london, "2026-03-29 00:30:00", 8, "2026-03-29 02:30:00",
        "2 hours", 1);
    row("hours, autumn change", london, "2026-10-25 00:30:00", 8, "2026-10-25 02:30:00",
        "2 hours");
    row("an hour into the gap", london, "2026-03-29 00:30:00", 7, "2026-03-29 02:30:00",
        "2 hours", 1);
    row("months into the gap", london, "2026-01-29 01:30:00", 19, "2026-03-29 02:30:00",
        "59 days", 1);
    row("days into the gap", "Europe/Berlin", "2026-03-27 02:30:00", 13, "2026-03-29 03:30:00",
        "2 days", 2);
    row("a day into the repeated hour", london, "2026-10-24 01:30:00", 12, "2026-10-25 01:30:00",
        "1 days", 1);
}

void TestLearning::ladder() {
    QFETCH(QByteArray, zone);
    QFETCH(QString, from);
    QFETCH(int, level);
    QFETCH(QString, expected);
    QFETCH(QString, wait);
    std::optional<LocalZone> local;
    if (!zone.isEmpty())
        local.emplace(zone.constData());
    const QDateTime result = scheduleDate(fromDbText(from), level);
    QCOMPARE(toDbText(result), expected);
    QCOMPARE(fromDbText(expected), result); // the stored text reads back as the same moment
    if (local)
        QTEST(result.offsetFromUtc() / 3600, "offset");
    const Wait until = waitUntil(expected, fromDbText(from));
    const char *const units[] = {"due", "minutes", "hours", "days", "unreadable"};
    if (!wait.isEmpty())
        QCOMPARE(QStringLiteral("%1 %2").arg(until.count).arg(units[until.unit]), wait);
}

void TestLearning::waits_data() {
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("wait"); // from 2026-12-06 10:00:30
    const auto row = [](const char *date, const char *wait) { QTest::newRow(date) << date << wait; };
    row("2026-12-06 10:00:59", "0 due");
    row("2026-12-06 10:01:00", "1 minutes");
    row("2026-12-06 10:59:59", "59 minutes");
    row("2026-12-06 11:00:00", "1 hours");
    row("2026-12-07 09:59:00", "23 hours");
    row("2026-12-07 10:00:00", "1 days");
    row("2026-12-07T10:05:00", "1 days");
    row("2027-01-01 00:00:00", "26 days");
    row("2026-12-32 10:00:00", "0 unreadable");
    row("2026-12-07 24:00:00", "0 unreadable");
    row("2026-12-07 10:60:00", "0 unreadable");
    row("2026-12-07 1O:00:00", "0 unreadable");
    row("soon", "0 unreadable");
}

void TestLearning::waits() {
    QFETCH(QString, date);
    const Wait until = waitUntil(date, fromDbText(QStringLiteral("2026-12-06 10:00:30")));
    const char *const units[] = {"due", "minutes", "hours", "days", "unreadable"};
    QTEST(QStringLiteral("%1 %2").arg(until.count).arg(units[until.unit]), "wait");
}

void TestLearning::minuteNumbers_data() {
    QTest::addColumn<QString>("date");
    QTest::addColumn<bool>("read"); // by minuteNumber
    const auto row = [](const char *date, bool read) { QTest::newRow(date) << date << read; };
    row("2026-12-06 10:00:59", true);
    row("2026-12-06 10:01:00", true);
    row("2026-12-05 23:59", true);
    row("2026-12-32 10:00:00", true); // no day of the calendar, but ordered as its text is
    row("2026-12-06T09:00:00", false); // as text, after every minute of the day
    row("2026-12-06 1O:00:00", false);
    row("2026-12-06 10:0", false);
    row("soon", false);
}

// A date read as a number orders as the due rule and the calendar day compare its text.
void TestLearning::minuteNumbers() {
    QFETCH(QString, date);
    const QString now = QStringLiteral("2026-12-06 10:00:30");
    const std::optional<qint64> number = minuteNumber(date);
    QTEST(number.has_value(), "read");
    if (!number)
        return;
    const qint64 nowNumber = *minuteNumber(now);
    QCOMPARE(*number <= nowNumber, DueAt(fromDbText(now))(date));
    QCOMPARE(*number / 10000 < nowNumber / 10000, QStringView(date).left(10) < now.left(10));
}

// A page is "verses|passage|thresholds|outcomes": each verse "verseLevel/WordSizeLevel/
// minWordSize/verseScore", all of them "Jesus wept." (word sizes 5, 4, 1, then 0 from level
// 4); the passage "numVersestoAsk/passageScore/passagelevel/numVerses", "-" once gone; the
// verse, then the passage thresholds "up/down"; each verse right (+) or wrong (-). After it,
// the same, each record rescheduled with "@" and its new date.
void TestLearning::judgedPage_data() {
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("after");
    const auto row = [](const char *name, const char *page, const char *after) {
        QTest::newRow(name) << page << after;
    };
    // Verses of one page, their passage still learning.
    row("right: the score, a word size, a verse level, the top",
        "1/1/5/4, 1/1/5/5, 2/4/0/5, 19/6/0/5|1/0/1/3|5/-4 5/-3|++++",
        "1/1/5/5, 1/2/4/0@10:00, 3/5/0/0@10:10, 19/7/0/0@02-06 10:00|1/0/1/3|4/-4 4/-3");
    row("right at a lowered up", "1/2/4/1|1/0/1/3|1/-5 1/0|+", "1/3/1/0@10:00|1/0/1/3|1/-5 1/-1");
    row("wrong: the score, a verse level, a word size, also all blanked, the foot",
        "1/1/5/3, 3/5/0/0, 1/2/4/0, 1/4/0/0, 1/0/5/-1|1/0/1/3|5/0 1/-3|-----",
        "1/1/5/2, 2/5/0/0@10:05, 1/1/5/0@10:00, 1/3/1/0@10:00, 1/0/5/-1|1/0/1/3|5/0 2/-3");
    row("every word blanked: matures, a verse more", "1/3/1/5|1/0/1/3|5/-5 5/-5|+",
        "2/4/0/0@10:05|2/0/1/3@10:00|4/-5 3/-5");
    row("each verse by the thresholds of before", "1/1/5/2, 1/1/5/1|1/0/1/3|2/-5 5/-5|++",
        "1/2/4/0@10:00, 1/1/5/2|1/0/1/3|1/-5 4/-5");
    row("a wrong verse makes the page wrong", "1/1/5/0, 1/1/5/0|1/0/1/3|5/-5 5/-5|-+",
        "1/1/5/-1, 1/1/5/1|1/0/1/3|5/-4 5/-4");
    row("rows gone: the thresholds still move", "1/1/5/0|-|5/-5 5/-5|++", "1/1/5/1|-|4/-5 4/-5");
    // The passage, whole once every verse is in; pages of verses without records.
    row("the last verse in: the page counts whole", "1/3/1/5|3/2/1/3|5/-5 5/-5|+",
        "2/4/0/0@10:05|4/1/1/3@10:00|4/-5 3/-5");
    row("whole: a verse matures again, all stay in", "1/3/1/5|4/2/6/3|5/-5 5/-5|+",
        "2/4/0/0@10:05|4/1/6/3@10:45|4/-5 3/-5");
    row("whole: the score moves and reschedules", "|4/2/6/3|5/-5 5/-5|+",
        "|4/3/6/3@10:45|4/-5 4/-5");
    row("whole: wrong above down", "|4/0/6/3|5/-5 5/-5|-", "|4/-1/6/3@10:45|5/-4 5/-4");
    row("whole: right at up rises", "|4/4/6/3|5/-5 4/-5|+", "|4/0/7/3@11:00|4/-5 3/-5");
    row("whole: 19 rises to 20", "|4/5/19/3|5/-5 5/-5|+", "|4/0/20/3@04-06 10:00|4/-5 4/-5");
    row("whole: 20 is the top", "|4/5/20/3|5/-5 5/-5|+", "|4/0/20/3@04-06 10:00|4/-5 4/-5");
    row("whole: 1 is the foot", "|4/-5/1/3|5/-5 5/-5|-", "|4/0/1/3@10:00|5/-4 5/-4");
    row("whole: down 0 lowers at once", "|4/0/5/3|5/-5 5/0|-", "|4/0/4/3@10:15|5/-4 5/0");
}

void TestLearning::judgedPage() {
    QFETCH(QString, page);
    const QStringList part = page.split(u'|');
    PageRecords records;
    for (const QString &text : part[0].split(QStringLiteral(", "), Qt::SkipEmptyParts)) {
        const QList<int> n = numbers(text);
        records.verses.append(
            {records.verses.size() + 1, {n[0], n[1], n[2], n[3], before}, {5, 4, 1}});
    }
    if (const QList<int> n = numbers(part[1]); n.size() == 4)
        records.passage = PassageNumbers{n[1], n[2], n[0], n[3], before};
    const QList<int> t = numbers(QString(part[2]).replace(u' ', u'/'));
    records.verseThresholds = {t[0], t[1]};
    records.passageThresholds = {t[2], t[3]};
    Judgement judgement{!part[3].contains(u'-'), {}, {}};
    for (qsizetype n = 0; n < part[3].size(); ++n)
        judgement.verses.append({n + 1, part[3][n] == u'+'});
    scorePage(records, judgement, now);

    QStringList verses;
    for (const PageVerseRecord &verse : records.verses) {
        const VerseNumbers &v = verse.numbers;
        verses << described({v.verseLevel, v.wordSizeLevel, v.minWordSize, v.verseScore},
                            v.scheduleDate);
    }
    const std::optional<PassageNumbers> &p = records.passage;
    const QString passage =
        p ? described({p->numVersestoAsk, p->passageScore, p->passageLevel, p->numVerses},
                      p->scheduleDate)
          : "-";
    const Thresholds &v = records.verseThresholds, &ofPassage = records.passageThresholds;
    QTEST(verses.join(QStringLiteral(", ")) + '|' + passage + '|' +
              described({v.up, v.down}, before) + ' ' +
              described({ofPassage.up, ofPassage.down}, before),
          "after");
}

void TestLearning::blanksOfAVerse_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("minWordSize");
    QTest::addColumn<QStringList>("tokens");
    QTest::addColumn<QStringList>("blanks");
    QTest::addColumn<QString>("sizes"); // the minimum word size at word-size level 0, 1, ...
    // Tokens and blanks each joined by "|".
    const auto row = [](const char *name, const char *text, int minWordSize, const char *tokens,
                        const char *blanks, const char *sizes) {
        QTest::newRow(name) << text << minWordSize << QString(tokens).split(u'|')
                            << QString(blanks).split(u'|', Qt::SkipEmptyParts) << sizes;
    };
    row("Genesis 1:1", "In the beginning God created the heaven and the earth.", 4,
        "In| the| beginning| God| created| the| heaven| and| the| earth|.",
        " beginning| created| heaven| earth", "9 9 7 6 5 3 2 1 0 0");
    row("a run of two", "Jesus wept.", 4, "Jesus| wept|.", "Jesus wept", "5 5 4 1 0");
    row("no final mark", "Jesus wept", 5, "Jesus| wept", "Jesus", "5 5 4 0");
    row("a last run", "I will praise thee; for I am fearfully and wonderfully made", 4,
        "I|  will| praise| thee|;| for| I| am| fearfully| and| wonderfully| made",
        "  will praise thee| fearfully| wonderfully made", "11 11 9 6 4 3 2 1 0");
    row("every other mark", "thee; for I am: what? Amen!", 3,
        "thee|;| for| I| am|:| what|?| Amen|!", "thee| for| what| Amen", "4 4 3 2 1 0");
    row("O alone", "thee, O LORD", 9, "thee|,|O| LORD", "", "4 4 1 0");
    row("\"a\" is a word", "there was a man", 1, "there| was| a| man", "there was a man",
        "5 5 3 1 0");
    row("bracket inside, every word", "x (for y", 1, "x| | (for|y", "x| (fory", "4 4 1 0");
    row("leading bracket, all", "(For he", 0, "(| For| he", "( For he", "3 3 2 1 0");
    row("quote opens a word", "said, \"Go", 2, "said|,| \"Go", "said| \"Go", "4 4 3 1 0");
    row("three blanks", "And   God", 3, "And| | God", "And| God", "3 3 0");
    row("empty", "", 1, "", "", "0 0 0");
}

void TestLearning::blanksOfAVerse() {
    QFETCH(QString, text);
    QFETCH(int, minWordSize);
    QFETCH(QStringList, tokens);
    QFETCH(QString, sizes);
    QCOMPARE(splitVerse(text), tokens);
    QList<int> lengths;
    for (const QString &token : tokens)
        lengths << int(trimBlanks(token).size());
    QCOMPARE(tokenLengths(text), lengths);
    const QStringList expected = sizes.split(u' ');
    for (int level = 0; level < expected.size(); ++level) // below 1 as 1
        QCOMPARE(QString::number(minWordSizeOf(lengths, level ? level : -4)), expected[level]);
    QStringList blanks;
    for (const Blank &blank : buildPage({verse(7, text, minWordSize)}, now).blanks)
        blanks << blank.expected;
    QTEST(blanks, "blanks");
}

void TestLearning::wordsOfAVerse_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("lengths"); // as the walk measured them when it searched
    QTest::addColumn<int>("steps");       // once for each delimiter
    const auto row = [](const char *name, const QString &text, const char *lengths, int steps) {
        QTest::newRow(name) << text << QString::fromLatin1(lengths) << steps;
    };
    row("empty", "", "0", 0);
    row("a run of marks", "thee,,, O LORD!!", "4 1 1 1 1 4 1 1", 2);
    row("marks first", "...and", "1 1 4", 2);
    row("a bracket alone", "(", "1 0", 1);
    row("brackets twice", "((a))", "1 2 1 1", 2);
    row("a bracket last", "a (", "1 0 1", 1);
    row("brackets within", "x(y)z", "1 2 2", 2);
    row("a blank first", " leading", "7", 1);
    row("a blank last", "trailing ", "8 0", 1);
    row("blanks alone", "  ", "0 0", 0);
    row("apostrophes", "don't, Lord's", "5 1 6", 3);
    row("hyphens", "well-pleasing - and", "13 1 3", 3);
    row("accents, one combining", u"G\u00e9nesis, se\u00f1or; u\u0308ber"_qs, "7 1 5 1 5", 3);
    row("beyond the first plane", u"\U0001D50Aod is"_qs, "4 2", 2);
    row("tab and new line", "a\tb\nc", "5", 1);
    row("control characters", "\x01\x02 \x7f", "2 1", 2);
    row("quotes", "\"Go,\" he said.", "3 1 1 2 4 1", 4);
    row("a colon and a bracket", "O Lord:(for ever)", "1 4 1 4 4 1", 2);
    row("words past 63", QString(70, u'x') + " " + QString(65, u'y') + " " + QString(70, u'z'),
        "70 65 70", 2);
}

// The walk in one pass measures as before, and what a verse's words keep of it tells
// whether a page blanks anything as the text itself does.
void TestLearning::wordsOfAVerse() {
    QFETCH(QString, text);
    QFETCH(QString, lengths);
    QStringList measured;
    for (int length : tokenLengths(text))
        measured << QString::number(length);
    QCOMPARE(measured.join(u' '), lengths);
    const VerseWords words = verseWords(text);
    QTEST(words.steps, "steps");
    QCOMPARE(words.longest, longestToken(text));
    QCOMPARE(QString::number(words.longest),
             std::ranges::max(lengths.split(u' '), {},
                              [](const QString &length) { return length.toInt(); }));
    for (int minWordSize = -1; minWordSize <= words.longest + 1; ++minWordSize)
        QCOMPARE(words.blanks(minWordSize), hasTokenOfAtLeast(text, minWordSize));
    QVERIFY(!VerseWords().blanks(-1)); // no text, nothing to blank
}

void TestLearning::pageText() {
    const QString style = "background-color:cornsilk;font-size:12pt;font-family:arial;"
                          "border-width:1;border-top-color=black;border-bottom-color:black;"
                          "border-left-color:black;border-right-color:black";
    // Markup in a book name, a shown word, a blanked one and a verse shown whole is text.
    const BuiltPage page = buildPage(
        {verse(7, "In t&e <b&c> Go", 4, "2026-12-06 10:00:59", "S<&>\""),
         verse(8, "Jesus wept.", 0), verse(9, "Say \"<b>&</b>\"", 3, "2026-12-06 10:01:00"),
         {10, 1, "2026-01-01", {}}},
        now);
    const auto heading = [](const QString &book) {
        return "<TR><TD width=\"650px\"><STRONG style=\"font-family:arial;font-size:12pt\"><BR>" +
               book + " 11:35</STRONG></TD></TR><TR><TD width=\"650px\">";
    };
    const QString span = "<span style=\"font-size:12pt;font-family:arial\">";
    QCOMPARE(page.html,
             "<HTML><BODY><span style=\"font-family:arial;font-size:12pt\">Fill in the "
             "blanks:</span><br><TABLE width=\"650px\" border=0 cellpadding=0 cellspacing=0>" +
                 // Due, a middle blank.
                 heading("S&lt;&amp;&gt;&quot;") + span + "In</span>" + span +
                 " t&amp;e</span>&nbsp;<INPUT  style=\"" + style +
                 "\" type=text size=\"6\" id=\"blank1\" name=\"blank1\"><INPUT type=hidden "
                 "id=\"answer1\" name=\"answer1\" value=\" &lt;b&amp;c&gt;\"><INPUT type=hidden "
                 "id=\"verseid1\"name=\"verseid1\" value=\"7\">" +
                 span + " Go</span></TD></TR>" +
                 // Due, every token long: one final blank.
                 heading("John") + "<INPUT type=text  style=\"" + style +
                 "\"  size=\"11\" id=\"blank2\" name=\"blank2\"><INPUT type=hidden "
                 "id=\"answer2\" name=\"answer2\" value=\"Jesus wept.\"><INPUT type=hidden "
                 "id=\"verseid2\"name=\"verseid2\" value=\"8\"></TD></TR>" +
                 // Due the next minute: shown whole. Without text: left out.
                 heading("John") +
                 "<Span style=\"font-family:arial;font-size:12pt\">Say "
                 "&quot;&lt;b&gt;&amp;&lt;/b&gt;&quot;</SPAN> </TD></TR></TABLE></BODY></HTML>");
    QCOMPARE(page.blanks, (QList<Blank>{{7, " <b&c>"}, {8, "Jesus wept."}}));
}

void TestLearning::longRuns_data() {
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("last"); // the run ends the verse
    QTest::addColumn<QString>("element");
    QTest::newRow("100, last") << 100 << true << "<INPUT type=text  style=\"";
    QTest::newRow("101, last") << 101 << true << "<TextArea rows=\"2\"";
    QTest::newRow("150, last") << 150 << true << "<TextArea rows=\"2\"";
    QTest::newRow("250, last") << 250 << true << "<TextArea rows=\"4\"";
    QTest::newRow("120, in the middle") << 120 << false << "type=text size=\"100\"";
}

void TestLearning::longRuns() {
    QFETCH(int, length);
    QFETCH(bool, last);
    QFETCH(QString, element);
    // Two long words; a final mark joins the run only when marks are long too.
    const QString words = QString(length - 1, u'x').replace(7, 1, u' ');
    const BuiltPage page =
        buildPage({last ? verse(1, words + ".", 1) : verse(1, words + "x. b", 2)}, now);
    QVERIFY2(page.html.contains(element), qPrintable(page.html.left(300)));
    QCOMPARE(page.blanks.first().expected.size(), length);
}

void TestLearning::CookVerse_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("cooked");
    QTest::newRow("comma") << "a , b" << "a,b";
    QTest::newRow("runs of blanks") << "x  ;  y" << "x;y";
    QTest::newRow("long runs of blanks") << "a   b    c     d" << "a b c d";
    QTest::newRow("brackets and ends") << "  ( a )  " << "(a)";
    QTest::newRow("words joined at marks") << "said, Let there be: and" << "said,Let there be:and";
    QTest::newRow("blank before ! stays") << "Amen !" << "Amen !";
    QTest::newRow("blank after ! goes") << "Amen! So" << "Amen!So";
    QTest::newRow("quotes and question") << "Say \" hi \" ? no" << "Say\"hi\"?no";
    QTest::newRow("blanks only") << "   " << "";
    QTest::newRow("a tab is no blank") << "\tA b \t" << "\tA b \t";
}

void TestLearning::CookVerse() {
    QFETCH(QString, text);
    QFETCH(QString, cooked);
    QCOMPARE(::CookVerse(text), cooked);
}

void TestLearning::judging_data() {
    QTest::addColumn<QList<BlankAnswer>>("blanks");
    QTest::addColumn<QString>("judged"); // the page, each verse by id, then the wrong blanks
    QTest::newRow("case, blanks, marks")
        << QList<BlankAnswer>{{5, " heaven and", "  HEAVEN  and "}, {5, "earth, so", "Earth ,so"}}
        << "right 5+";
    QTest::newRow("empty blank, missing comma")
        << QList<BlankAnswer>{{5, "beginning", ""}, {5, "earth, so", "earth so"}}
        << "wrong 5- #1 #2";
    QTest::newRow("a wrong blank marks its verse only")
        << QList<BlankAnswer>{{5, "a", "b"}, {5, "c", "c"}, {6, "<&>", "<&>"}} << "wrong 5- 6+ #1";
    QTest::newRow("escaped characters typed as written")
        << QList<BlankAnswer>{{6, "\"<b>\" & co", "\"<B>\" & CO"}} << "right 6+";
    QTest::newRow("no blank") << QList<BlankAnswer>{} << "wrong";
    // Bibles other than the KJV: an accent stored as a mark of its own or typed so, and an
    // invisible right-to-left mark no keyboard types; another accent is still wrong.
    QTest::newRow("accents and marks")
        << QList<BlankAnswer>{{7, "Jesu\u0301s", "JES\u00DAS"}, {7, "llor\u00F3", "lloro\u0301"},
                              {8, "am\u00E9n\u200F.", "Am\u00E9n."}, {9, "llor\u00F3", "lloro"}}
        << "wrong 7+ 8+ 9- #4";
}

void TestLearning::judging() {
    QFETCH(QList<BlankAnswer>, blanks);
    const Judgement judgement = judgePage(blanks);
    QString judged = judgement.pageRight ? "right" : "wrong";
    for (const auto &[id, right] : judgement.verses)
        judged += QStringLiteral(" %1%2").arg(id).arg(right ? '+' : '-');
    for (int blank : judgement.wrongBlanks)
        judged += QStringLiteral(" #%1").arg(blank);
    QTEST(judged, "judged");
}

void TestLearning::wordDifference_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("shown"); // [-typed, not expected-] {+expected, not typed+}
    const auto row = [](const char *name, const char *typed, const char *expected,
                        const char *shown) { QTest::newRow(name) << typed << expected << shown; };
    row("one word wrong", "In the begining God", " In the beginning God",
        "In the [-begining-] {+beginning+} God");
    row("a word missing", "the LORD my shepherd", "The LORD is my shepherd",
        "The LORD {+is+} my shepherd");
    row("a word added", "Jesus wept bitterly.", "Jesus wept.", "Jesus wept [-bitterly-].");
    row("a word added first", "and Jesus wept", "Jesus wept", "[-and-] Jesus wept");
    row("nothing typed", "", "  will praise thee", "{+will praise thee+}");
    row("case and spacing alone", "  THE lord ,is  my ", "The LORD, is my", "The LORD, is my");
    row("a mark missing and one wrong", "my soul he leads; me", "my soul: he leadeth me",
        "my soul{+:+} he [-leads;-] {+leadeth+} me");
    row("words run together", "Jesuswept", "Jesus wept", "[-Jesuswept-] {+Jesus wept+}");
    row("judged apart, alike word by word: the whole", "Amen !", "Amen!", "[-Amen !-] {+Amen!+}");
}

void TestLearning::wordDifference() {
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    QString shown;
    for (const DiffSegment &segment : ::wordDifference(typed, expected)) {
        const qsizetype blank = segment.text.startsWith(u' ') ? 1 : 0;
        const char *const around[][2] = {{"", ""}, {"[-", "-]"}, {"{+", "+}"}};
        shown += segment.text.left(blank) + around[segment.kind][0] + segment.text.mid(blank) +
                 around[segment.kind][1];
    }
    QTEST(shown, "shown");
}

void TestLearning::dueWhen_data() {
    QTest::addColumn<QString>("now");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("when");
    const auto row = [](const char *name, const char *now, const char *date, const char *when) {
        QTest::newRow(name) << now << date << when;
    };
    row("this minute", "2026-12-06 10:00:30", "2026-12-06 10:00:59", "due 0");
    row("part of a minute", "2026-12-06 10:00:30", "2026-12-06 10:01:00", "minutes 1");
    row("59 minutes", "2026-12-06 10:00:00", "2026-12-06 10:59:00", "minutes 59");
    row("an hour: the time", "2026-12-06 10:00:00", "2026-12-06 11:00:00", "today 0 12-06 11:00");
    row("past midnight, minutes", "2026-12-06 23:50:00", "2026-12-07 00:20:00", "minutes 30");
    row("tomorrow", "2026-12-06 23:00:00", "2026-12-07 09:30:59", "tomorrow 0 12-07 09:30");
    row("a later day", "2026-12-06 10:00:00", "2026-12-14 08:00:00", "later 0 12-14 08:00");
    // Minutes as time passes: the clocks going forward shorten the wait, going back lengthen it.
    row("spring forward", "2026-03-29 00:50:00", "2026-03-29 02:05:00", "minutes 15");
    row("autumn back", "2026-10-25 01:50:00", "2026-10-25 02:10:00", "today 0 10-25 02:10");
    row("into the skipped hour", "2026-03-28 20:00:00", "2026-03-29 01:30:00",
        "tomorrow 0 03-29 02:30");
}

void TestLearning::dueWhen() {
    QFETCH(QString, now);
    QFETCH(QString, date);
    const LocalZone london("Europe/London"); // where the clocks change
    const DueWhen when = ::dueWhen(date, fromDbText(now));
    const char *const units[] = {"due", "minutes", "today", "tomorrow", "later", "unreadable"};
    const QString shown = QStringLiteral("%1 %2%3%4")
                              .arg(units[when.unit])
                              .arg(when.minutes)
                              .arg(when.date.toString(u" MM-dd"), when.time.toString(u" HH:mm"));
    QTEST(shown, "when");
}

QTEST_GUILESS_MAIN(TestLearning)
#include "test_learning.moc"
