#include "core/clock.h"
#include "learning/answers.h"
#include "learning/page.h"
#include "store/quiz.h"
#include "learning/tokens.h"

#include <QTest>

// The question page and the judging of it: pure functions, no database.
class TestPage : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void blanksOfAVerse_data();
    void blanksOfAVerse();
    void pageText();
    void longRuns_data();
    void longRuns();
    void CookVerse_data();
    void CookVerse();
    void judging_data();
    void judging();
    void thresholds_data();
    void thresholds();
};

namespace {
const QDateTime now = fromDbText(QStringLiteral("2026-12-06 10:00:30"));

PageVerse verse(qint64 id, const QString &text, int minWordSize,
                const QString &due = QStringLiteral("2026-12-06 10:00:59")) {
    return {id, minWordSize, due, VerseText{QStringLiteral("John"), 11, 35, text}};
}

QStringList expectedTexts(const BuiltPage &page) {
    QStringList texts;
    for (const Blank &blank : page.blanks)
        texts << blank.expected;
    return texts;
}
} // namespace

void TestPage::blanksOfAVerse_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("minWordSize");
    QTest::addColumn<QStringList>("tokens");
    QTest::addColumn<QStringList>("blanks");
    QTest::newRow("Genesis 1:1") << "In the beginning God created the heaven and the earth." << 4
                                 << QStringList{"In", " the", " beginning", " God", " created",
                                                " the", " heaven", " and", " the", " earth", "."}
                                 << QStringList{" beginning", " created", " heaven", " earth"};
    QTest::newRow("a run of two") << "Jesus wept." << 4 << QStringList{"Jesus", " wept", "."}
                                  << QStringList{"Jesus wept"};
    QTest::newRow("no closing mark")
        << "I will praise thee; for I am fearfully and wonderfully made" << 4
        << QStringList{"I",   "  will", " praise",    " thee", ";",           " for",
                       " I",  " am",    " fearfully", " and",  " wonderfully", " made"}
        << QStringList{"  will praise thee", " fearfully", " wonderfully made"};
    QTest::newRow("O alone") << "thee, O LORD" << 9 << QStringList{"thee", ",", "O", " LORD"}
                             << QStringList();
    QTest::newRow("bracket inside, every word") << "x (for y" << 1
                                                << QStringList{"x", " ", " (for", "y"}
                                                << QStringList{"x", " (fory"};
    QTest::newRow("leading bracket, all") << "(For he" << 0 << QStringList{"(", " For", " he"}
                                          << QStringList{"( For he"};
}

void TestPage::blanksOfAVerse() {
    QFETCH(QString, text);
    QFETCH(int, minWordSize);
    QFETCH(QStringList, tokens);
    QFETCH(QStringList, blanks);
    QCOMPARE(splitVerse(text), tokens);
    QCOMPARE(expectedTexts(buildPage({verse(7, text, minWordSize)}, now)), blanks);
}

void TestPage::pageText() {
    const QString style = "background-color:cornsilk;font-size:12pt;font-family:arial;"
                          "border-width:1;border-top-color=black;border-bottom-color:black;"
                          "border-left-color:black;border-right-color:black";
    const BuiltPage page = buildPage(
        {verse(7, "In the beginning God", 9), verse(8, "Jesus wept.", 0),
         verse(9, "Say \"<b>&</b>\"", 3, "2026-12-06 10:01:00"), {10, 1, "2026-01-01", {}}},
        now);
    const QString heading = "<TR><TD width=\"650px\"><STRONG style=\"font-family:arial;"
                            "font-size:12pt\"><BR>John 11:35</STRONG></TD></TR>"
                            "<TR><TD width=\"650px\">";
    const QString span = "<span style=\"font-size:12pt;font-family:arial\">";
    QCOMPARE(page.html,
             "<HTML><BODY><span style=\"font-family:arial;font-size:12pt\">Fill in the "
             "blanks:</span><br><TABLE width=\"650px\" border=0 cellpadding=0 cellspacing=0>" +
                 // Due, a middle blank.
                 heading + span + "In</span>" + span + " the</span>&nbsp;<INPUT  style=\"" +
                 style +
                 "\" type=text size=\"10\" id=\"blank1\" name=\"blank1\"><INPUT type=hidden "
                 "id=\"answer1\" name=\"answer1\" value=\" beginning\"><INPUT type=hidden "
                 "id=\"verseid1\"name=\"verseid1\" value=\"7\">" +
                 span + " God</span></TD></TR>" +
                 // Due, every token long: one final blank.
                 heading + "<INPUT type=text  style=\"" + style +
                 "\"  size=\"11\" id=\"blank2\" name=\"blank2\"><INPUT type=hidden "
                 "id=\"answer2\" name=\"answer2\" value=\"Jesus wept.\"><INPUT type=hidden "
                 "id=\"verseid2\"name=\"verseid2\" value=\"8\"></TD></TR>" +
                 // Due the next minute: shown whole, escaped. Without text: left out.
                 heading +
                 "<Span style=\"font-family:arial;font-size:12pt\">Say "
                 "&quot;&lt;b&gt;&amp;&lt;/b&gt;&quot;</SPAN> </TD></TR></TABLE></BODY></HTML>");
    QCOMPARE(page.blanks, (QList<Blank>{{7, " beginning"}, {8, "Jesus wept."}}));
}

void TestPage::longRuns_data() {
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("last"); // the run ends the verse
    QTest::addColumn<QString>("element");
    QTest::newRow("100, last") << 100 << true << "<INPUT type=text  style=\"";
    QTest::newRow("101, last") << 101 << true << "<TextArea rows=\"2\"";
    QTest::newRow("150, last") << 150 << true << "<TextArea rows=\"2\"";
    QTest::newRow("151, last") << 151 << true << "<TextArea rows=\"3\"";
    QTest::newRow("250, last") << 250 << true << "<TextArea rows=\"4\"";
    QTest::newRow("120, in the middle") << 120 << false << "type=text size=\"100\"";
}

void TestPage::longRuns() {
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

void TestPage::CookVerse_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("cooked");
    QTest::newRow("comma") << "a , b" << "a,b";
    QTest::newRow("runs of blanks") << "x  ;  y" << "x;y";
    QTest::newRow("brackets and ends") << "  ( a )  " << "(a)";
    QTest::newRow("words joined at marks") << "said, Let there be light: and"
                                           << "said,Let there be light:and";
    QTest::newRow("blank before ! stays") << "Amen !" << "Amen !";
    QTest::newRow("blank after ! goes") << "Amen! So" << "Amen!So";
    QTest::newRow("quotes and question") << "Say \" hi \" ? no" << "Say\"hi\"?no";
    QTest::newRow("blanks only") << "   " << "";
    QTest::newRow("a tab is no blank") << "\tA b \t" << "\tA b \t";
}

void TestPage::CookVerse() {
    QFETCH(QString, text);
    QFETCH(QString, cooked);
    QCOMPARE(::CookVerse(text), cooked);
}

void TestPage::judging_data() {
    QTest::addColumn<QList<BlankAnswer>>("blanks");
    QTest::addColumn<bool>("pageRight");
    QTest::addColumn<QString>("verses"); // each verse's id and outcome
    QTest::addColumn<QList<int>>("wrong");
    QTest::newRow("case, blanks, marks")
        << QList<BlankAnswer>{{5, " heaven and", "  HEAVEN  and "}, {5, "earth, so", "Earth ,so"}}
        << true << "5+" << QList<int>{};
    QTest::newRow("empty blank, missing comma")
        << QList<BlankAnswer>{{5, "beginning", ""}, {5, "earth, so", "earth so"}} << false
        << "5-" << QList<int>{1, 2};
    QTest::newRow("a wrong blank marks its verse only")
        << QList<BlankAnswer>{{5, "a", "b"}, {5, "c", "c"}, {6, "<&>", "<&>"}} << false << "5- 6+"
        << QList<int>{1};
    QTest::newRow("escaped characters typed as written")
        << QList<BlankAnswer>{{6, "\"<b>\" & co", "\"<B>\" & CO"}} << true << "6+" << QList<int>{};
    QTest::newRow("no blank") << QList<BlankAnswer>{} << false << "" << QList<int>{};
}

void TestPage::judging() {
    QFETCH(QList<BlankAnswer>, blanks);
    QFETCH(bool, pageRight);
    QFETCH(QString, verses);
    QFETCH(QList<int>, wrong);
    const Judgement judgement = judgePage(blanks);
    QCOMPARE(judgement.pageRight, pageRight);
    QStringList outcomes;
    for (const auto &[id, right] : judgement.verses)
        outcomes << QString::number(id) + (right ? '+' : '-');
    QCOMPARE(outcomes.join(' '), verses);
    QCOMPARE(judgement.wrongBlanks, wrong);
}

void TestPage::thresholds_data() {
    QTest::addColumn<int>("up");
    QTest::addColumn<int>("down");
    QTest::addColumn<QString>("pages"); // R right, W wrong
    QTest::addColumn<int>("upAfter");
    QTest::addColumn<int>("downAfter");
    QTest::newRow("five right") << 5 << -5 << "RRRRR" << 1 << -5;
    QTest::newRow("right at the top of up") << 1 << 0 << "RR" << 1 << -2;
    QTest::newRow("wrong undoes up first") << 1 << -3 << "WWWWW" << 5 << -2;
    QTest::newRow("wrong at both tops") << 5 << 0 << "W" << 5 << 0;
}

void TestPage::thresholds() {
    QFETCH(int, up);
    QFETCH(int, down);
    QFETCH(QString, pages);
    Thresholds thresholds{up, down};
    for (const QChar page : pages)
        thresholds.adapt(page == u'R');
    QTEST(thresholds.up, "upAfter");
    QTEST(thresholds.down, "downAfter");
}

QTEST_GUILESS_MAIN(TestPage)
#include "test_page.moc"
