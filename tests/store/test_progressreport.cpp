#include "core/clock.h"
#include "store/progressreport.h"
#include "store/passages.h"
#include "support/testdatabase.h"

#include <QTest>

// A learner's figures on a crafted database whose only verse text is John 11:1, "Jesus
// wept.": 3 word sizes, so 3 rungs at level 1.
class TestProgressReport : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void summary();
    void forecastAndNextReview_data();
    void forecastAndNextReview();

private:
    std::optional<TestDatabase> test_;
    FixedClock clock_{QDateTime()};
};

void TestProgressReport::init() {
    test_.emplace();
    test_->db().execute("INSERT INTO kjv VALUES (43, 'John', 11, 1, 'Jesus wept.');"
                        "INSERT INTO Users (id, Name) VALUES (1, 'Ann'), (2, 'Bob')");
    clock_.set(fromDbText("2026-12-06 10:00:00"));
}

void TestProgressReport::summary() {
    test_->db().execute(
        "INSERT INTO Passages (startbook, startchapter, startverse, endbook, endchapter, "
        "endverse, username, UserID, scheduledate, numVersestoAsk, numVerses) VALUES "
        "('John', 11, 1, 'John', 11, 4, 'Ann', 1, '2026-12-06 10:00:59', 3, 4)," // due this minute
        "('John', 11, 1, 'John', 11, 1, 'Ann', 1, '2026-12-06 10:01:00', 2, 1)," // whole
        "('John', 11, 1, 'John', 11, 1, 'Bob', 2, '2026-12-01 00:00:00', 1, 1);"
        // Three of four verses let in, in reading order rather than as stored.
        "INSERT INTO PassageVerses (passageID, VerseBook, verseChapter, VerseNum, verseLevel, "
        "WordSizeLevel, ScheduleDate) VALUES (1, 43, 11, 4, 5, 1, '2026-12-01 00:00:00'),"
        "(1, 43, 11, 3, 2, 1, '2026-12-07 09:00:00'),"
        "(1, 43, 11, 2, 1, 9, '2026-12-06 10:00:59')," // no text: just begun
        "(1, 43, 11, 1, 1, 2, '2026-12-06 10:01:00')," // 2 of 3 rungs: halfway
        "(2, 43, 11, 1, 1, 1, '2026-12-06 09:00:00')," // 1 of 3: just begun
        "(3, 43, 11, 1, 1, 1, '2026-12-01 00:00:00')");
    const ProgressReport r = progressReport(test_->db(), clock_, 1);
    QCOMPARE(QList<int>({int(r.passages.size()), r.versesLearning, r.versesMatured, r.versesWaiting,
                         r.versesDue, r.passagesDue}),
             QList<int>({2, 3, 1, 1, 2, 1}));
    QList<int> ladder(ProgressReport::topVerseLevel);
    ladder[0] = 3, ladder[1] = 1;
    QCOMPARE(QList<int>(r.versesByLevel.begin(), r.versesByLevel.end()), ladder);
    QCOMPARE(QList<int>(r.levelOneByStage.begin(), r.levelOneByStage.end()), QList<int>({2, 1, 0}));
    QCOMPARE(r.passages[0].phase + '|' + r.passages[1].phase,
             "learning, 3 of 4 verses in|whole passage");
    QCOMPARE(r.passages[0].range, passageList(test_->db(), 1).value(0).text);
}

void TestProgressReport::forecastAndNextReview_data() {
    QTest::addColumn<QString>("now");
    QTest::addColumn<QString>("date");
    QTest::addColumn<int>("day"); // -1: past the last
    QTest::addColumn<QString>("words");
    const QString end = "2026-01-31 10:00:00";
    QTest::newRow("overdue counts today") << end << "2025-12-31 23:00:00" << 0 << "now";
    QTest::newRow("month's end") << end << "2026-02-01 00:00:00" << 1 << "in 14 hours";
    QTest::newRow("the last day") << end << "2026-02-13 23:59:59" << 13 << "in 13 days";
    QTest::newRow("past the last day") << end << "2026-02-14 00:00:00" << -1 << "in 14 days";
    // Whole calendar days and wall-clock hours, whatever the clocks did in between.
    QTest::newRow("clocks go forward") << "2026-03-28 00:00:00"
                                       << "2026-03-30 00:30:00" << 2 << "in 2 days";
    QTest::newRow("hours over the change") << "2026-03-29 00:30:00"
                                           << "2026-03-29 04:30:00" << 0 << "in 4 hours";
    QTest::newRow("clocks go back") << "2026-10-24 00:00:00"
                                    << "2026-10-25 23:30:00" << 1 << "in 1 day";
}

void TestProgressReport::forecastAndNextReview() {
    QFETCH(QString, now);
    QFETCH(QString, date);
    QFETCH(int, day);
    clock_.set(fromDbText(now));
    const FixedClock added(fromDbText(date)); // the passage and its verse due then
    addPassage(test_->db(), added, {{43, "John", 11, 1}, {43, "John", 11, 1}}, "Ann", 1);
    const ProgressReport r = progressReport(test_->db(), clock_, 1);
    for (int i = 0; i < ProgressReport::forecastDays; ++i)
        QCOMPARE(QList<int>({r.forecast.value(i).verses, r.forecast.value(i).passages}),
                 i == day ? QList<int>({1, 1}) : QList<int>({0, 0}));
    QTEST(r.passages[0].nextReviewWords, "words");
}

QTEST_GUILESS_MAIN(TestProgressReport)
#include "test_progressreport.moc"
