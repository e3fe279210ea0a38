#include "clock.h"
#include "recordingdialogs.h"
#include "schedule.h"
#include "testdatabase.h"
#include "wordsize.h"

#include <QTest>

class TestMeasures : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void ladder_data();
    void ladder();
    void wordLengths_data();
    void wordLengths();
    void minWordSize_data();
    void minWordSize();
    void verseTable_data();
    void verseTable();
};

namespace {
QDateTime at(const char *text) { return fromDbText(QString::fromLatin1(text)); }
} // namespace

void TestMeasures::ladder_data() {
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<int>("level");
    QTest::addColumn<QDateTime>("expected");
    const QDateTime noon = at("2026-03-10 12:34:56");
    QTest::newRow("1 is now") << noon << 1 << noon;
    QTest::newRow("17 is 21 days") << noon << 17 << at("2026-03-31 12:34:56");
    for (int level : {0, -3, 20, 99})
        QTest::addRow("%d is 4 months", level) << noon << level << at("2026-07-10 12:34:56");
    QTest::newRow("31 Jan + 1 month") << at("2026-01-31 08:00:00") << 18 << at("2026-02-28 08:00:00");
    QTest::newRow("31 Jan + 1 month, leap") << at("2028-01-31 08:00:00") << 18
                                            << at("2028-02-29 08:00:00");
    QTest::newRow("31 Dec + 2 months") << at("2026-12-31 23:00:00") << 19
                                       << at("2027-02-28 23:00:00");
    QTest::newRow("31 Oct + 4 months") << at("2026-10-31 10:00:00") << 20
                                       << at("2027-02-28 10:00:00");
    QTest::newRow("minutes across midnight") << at("2026-06-30 23:59:30") << 3
                                             << at("2026-07-01 00:09:30");
    QTest::newRow("minutes across the year") << at("2026-12-31 23:50:00") << 5
                                             << at("2027-01-01 00:20:00");
    QTest::newRow("hours across the month's end") << at("2026-02-28 20:00:00") << 9
                                                  << at("2026-03-01 00:00:00");
    // Clock readings, not elapsed time: the night the clocks go forward in many zones.
    QTest::newRow("hours over a clock change") << at("2026-03-29 00:30:00") << 8
                                               << at("2026-03-29 02:30:00");
}

void TestMeasures::ladder() {
    QFETCH(QDateTime, now);
    QFETCH(int, level);
    QFETCH(QDateTime, expected);
    const FixedClock clock(now);
    QCOMPARE(toDbText(GetScheduleDate(clock, level)), toDbText(expected));
}

void TestMeasures::wordLengths_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("lengths");
    QTest::newRow("Genesis 1:1") << "In the beginning God created the heaven and the earth."
                                 << QList<int>{2, 3, 9, 3, 7, 3, 6, 3, 3, 5, 1};
    QTest::newRow("with period") << "Jesus wept." << QList<int>{5, 4, 1};
    QTest::newRow("no period") << "Jesus wept" << QList<int>{5, 4};
    QTest::newRow("trailing blank") << "Jesus wept. " << QList<int>{5, 4, 1, 0};
    QTest::newRow("opening bracket") << "(For he spake.)" << QList<int>{1, 3, 2, 5, 1, 1};
    QTest::newRow("bracket inside") << "x (for y" << QList<int>{1, 0, 4, 1};
    QTest::newRow("one-letter first word") << "I will praise" << QList<int>{1, 4, 6};
    QTest::newRow("two blanks") << "And  God said" << QList<int>{3, 3, 4};
    QTest::newRow("three blanks") << "And   God" << QList<int>{3, 0, 3};
    QTest::newRow("quote opens a word") << "said, \"Go" << QList<int>{4, 1, 3};
    QTest::newRow("empty") << "" << QList<int>{0};
}

void TestMeasures::wordLengths() {
    QFETCH(QString, text);
    QFETCH(QList<int>, lengths);
    QCOMPARE(tokenLengths(text), lengths);
}

void TestMeasures::minWordSize_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("sizesFromLevel0");
    const QString genesis = "In the beginning God created the heaven and the earth.";
    QTest::newRow("Genesis 1:1") << genesis << QList<int>{9, 9, 7, 6, 5, 3, 2, 1, 0, 0};
    QTest::newRow("Jesus wept.") << "Jesus wept." << QList<int>{5, 5, 4, 1, 0};
    QTest::newRow("one length") << "Amen amen amen" << QList<int>{4, 4, 0, 0};
    QTest::newRow("empty") << "" << QList<int>{0, 0, 0};
}

void TestMeasures::minWordSize() {
    QFETCH(QString, text);
    QFETCH(QList<int>, sizesFromLevel0);
    const QList<int> lengths = tokenLengths(text);
    for (int level = 0; level < sizesFromLevel0.size(); ++level)
        QCOMPARE(minWordSizeOf(lengths, level), sizesFromLevel0[level]);
    QCOMPARE(minWordSizeOf(lengths, -4), sizesFromLevel0[1]);
}

void TestMeasures::verseTable_data() {
    QTest::addColumn<int>("verse");
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("expected");
    QTest::addColumn<int>("reports");
    QTest::newRow("stored text") << 1 << 2 << 7 << 0;
    QTest::newRow("empty text") << 2 << 1 << 0 << 0;
    QTest::newRow("missing verse") << 9 << 1 << 0 << 0;
    QTest::newRow("NULL text") << 3 << 1 << 0 << 1;
}

void TestMeasures::verseTable() {
    QFETCH(int, verse);
    QFETCH(int, level);
    QFETCH(int, expected);
    QFETCH(int, reports);
    TestDatabase test;
    test.addVerse(1, "Genesis", 1, 1, "In the beginning God created the heaven and the earth.");
    test.addVerse(1, "Genesis", 1, 2, "");
    test.addVerse(1, "Genesis", 1, 3, QVariant());
    RecordingDialogs dialogs;
    QCOMPARE(GetMinWordSize(test.db(), dialogs, 1, 1, verse, level), expected);
    QCOMPARE(dialogs.errors.size(), reports);
    if (reports)
        QCOMPARE(dialogs.errorNumbers.first(), int(Error::InvalidUseOfNull));
}

QTEST_GUILESS_MAIN(TestMeasures)
#include "test_measures.moc"
