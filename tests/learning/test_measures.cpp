#include "core/clock.h"
#include "learning/schedule.h"
#include "learning/tokens.h"
#include "learning/wordsize.h"
#include "support/testdatabase.h"

#include <QTest>

class TestMeasures : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void ladder_data();
    void ladder();
    void ladderAcrossClockChanges_data();
    void ladderAcrossClockChanges();
    void wordSizes_data();
    void wordSizes();
};

namespace {
QDateTime at(const char *text) { return fromDbText(QString::fromLatin1(text)); }
} // namespace

void TestMeasures::ladder_data() {
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<int>("level");
    QTest::addColumn<QDateTime>("expected");
    // Every rung, from a moment that no interval carries across a month's end.
    const QDateTime noon = at("2026-06-01 12:00:00");
    const char *const rungs[] = {
        "2026-06-01 12:00:00", "2026-06-01 12:05:00", "2026-06-01 12:10:00",
        "2026-06-01 12:15:00", "2026-06-01 12:30:00", "2026-06-01 12:45:00",
        "2026-06-01 13:00:00", "2026-06-01 14:00:00", "2026-06-01 16:00:00",
        "2026-06-01 20:00:00", "2026-06-02 00:00:00", "2026-06-02 12:00:00",
        "2026-06-03 12:00:00", "2026-06-05 12:00:00", "2026-06-08 12:00:00",
        "2026-06-15 12:00:00", "2026-06-22 12:00:00", "2026-07-01 12:00:00",
        "2026-08-01 12:00:00"};
    for (int level = 1; level <= 19; ++level)
        QTest::addRow("level %d", level) << noon << level << at(rungs[level - 1]);
    for (int level : {0, -3, 20, 99})
        QTest::addRow("%d is 4 months", level) << noon << level << at("2026-10-01 12:00:00");
    QTest::newRow("31 Jan + 1 month") << at("2026-01-31 08:00:00") << 18 << at("2026-02-28 08:00:00");
    QTest::newRow("31 Jan + 1 month, leap") << at("2028-01-31 08:00:00") << 18
                                            << at("2028-02-29 08:00:00");
    QTest::newRow("31 Dec + 2 months") << at("2026-12-31 23:00:00") << 19
                                       << at("2027-02-28 23:00:00");
    QTest::newRow("31 Oct + 4 months") << at("2026-10-31 10:00:00") << 20
                                       << at("2027-02-28 10:00:00");
    QTest::newRow("minutes across the year") << at("2026-12-31 23:50:00") << 5
                                             << at("2027-01-01 00:20:00");
}

void TestMeasures::ladder() {
    QFETCH(QDateTime, now);
    QFETCH(int, level);
    QFETCH(QDateTime, expected);
    const FixedClock clock(now);
    QCOMPARE(toDbText(GetScheduleDate(clock, level)), toDbText(expected));
}

void TestMeasures::ladderAcrossClockChanges_data() {
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<QString>("now");
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("offset"); // of the result from UTC, in hours
    // Minutes and hours count on the clock reading, not as time elapsed.
    QTest::newRow("London, hours over the spring change")
        << QByteArray("Europe/London") << "2026-03-29 00:30:00" << 8 << "2026-03-29 02:30:00" << 1;
    QTest::newRow("London, hours over the autumn change")
        << QByteArray("Europe/London") << "2026-10-25 00:30:00" << 8 << "2026-10-25 02:30:00" << 0;
    // A reading the change skips steps over the gap.
    QTest::newRow("London, an hour into the gap")
        << QByteArray("Europe/London") << "2026-03-29 00:30:00" << 7 << "2026-03-29 02:30:00" << 1;
    QTest::newRow("New York, into the gap")
        << QByteArray("America/New_York") << "2026-03-08 01:40:00" << 7 << "2026-03-08 03:40:00"
        << -4;
    QTest::newRow("London, two months into the gap")
        << QByteArray("Europe/London") << "2026-01-29 01:30:00" << 19 << "2026-03-29 02:30:00" << 1;
    QTest::newRow("Berlin, two days into the gap")
        << QByteArray("Europe/Berlin") << "2026-03-27 02:30:00" << 13 << "2026-03-29 03:30:00" << 2;
    QTest::newRow("Berlin, into the gap")
        << QByteArray("Europe/Berlin") << "2026-03-29 01:30:00" << 7 << "2026-03-29 03:30:00" << 2;
    // A reading the change repeats is its first pass.
    QTest::newRow("London, a day into the repeated hour")
        << QByteArray("Europe/London") << "2026-10-24 01:30:00" << 12 << "2026-10-25 01:30:00" << 1;
}

void TestMeasures::ladderAcrossClockChanges() {
    QFETCH(QByteArray, zone);
    QFETCH(QString, now);
    QFETCH(int, level);
    QFETCH(QString, expected);
    QFETCH(int, offset);
    const LocalZone local(zone.constData());
    const QDateTime result = GetScheduleDate(FixedClock(fromDbText(now)), level);
    QVERIFY(result.isValid());
    QCOMPARE(toDbText(result), expected);
    QCOMPARE(result.offsetFromUtc(), offset * 3600);
    QCOMPARE(fromDbText(expected), result); // the stored text reads back as the same moment
}

void TestMeasures::wordSizes_data() {
    // The walk's tokens themselves are tested with the question page.
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("lengths");
    QTest::addColumn<QList<int>>("sizesFromLevel0");
    QTest::newRow("Genesis 1:1") << "In the beginning God created the heaven and the earth."
                                 << QList<int>{2, 3, 9, 3, 7, 3, 6, 3, 3, 5, 1}
                                 << QList<int>{9, 9, 7, 6, 5, 3, 2, 1, 0, 0};
    QTest::newRow("with period") << "Jesus wept." << QList<int>{5, 4, 1}
                                 << QList<int>{5, 5, 4, 1, 0};
    QTest::newRow("no period") << "Jesus wept" << QList<int>{5, 4} << QList<int>{5, 5, 4, 0};
    QTest::newRow("every other mark") << "thee; for I am: what? Amen!"
                                      << QList<int>{4, 1, 3, 1, 2, 1, 4, 1, 4, 1}
                                      << QList<int>{4, 4, 3, 2, 1, 0};
    QTest::newRow("quote opens a word") << "said, \"Go" << QList<int>{4, 1, 3}
                                        << QList<int>{4, 4, 3, 1, 0};
    QTest::newRow("three blanks") << "And   God" << QList<int>{3, 0, 3} << QList<int>{3, 3, 0};
    QTest::newRow("empty") << "" << QList<int>{0} << QList<int>{0, 0, 0};
}

void TestMeasures::wordSizes() {
    QFETCH(QString, text);
    QFETCH(QList<int>, lengths);
    QFETCH(QList<int>, sizesFromLevel0);
    QCOMPARE(tokenLengths(text), lengths);
    for (int level = 0; level < sizesFromLevel0.size(); ++level)
        QCOMPARE(minWordSizeOf(lengths, level), sizesFromLevel0[level]);
    QCOMPARE(minWordSizeOf(lengths, -4), sizesFromLevel0[1]);
}

QTEST_GUILESS_MAIN(TestMeasures)
#include "test_measures.moc"
