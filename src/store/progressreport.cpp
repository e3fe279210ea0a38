#include "store/progressreport.h"

#include "bible/versetable.h"
#include "core/clock.h"
#include "learning/askable.h"
#include "learning/schedule.h"
#include "learning/steps.h"
#include "store/passages.h"

#include <algorithm>

WordSizeStage wordSizeStage(int wordSizeLevel, int steps) {
    const int climbed = std::clamp(wordSizeLevel, 0, std::max(steps, 0));
    if (3 * climbed <= steps)
        return WordSizeStage::JustBegun;
    if (3 * climbed <= 2 * steps)
        return WordSizeStage::Halfway;
    return WordSizeStage::NearlyAllWords;
}

namespace {
// The 14 days as their text, so that tens of thousands of dates are placed by comparing
// text: the calendar day of the stored wall-clock reading, whatever the clocks did that night.
class Forecast {
public:
    Forecast(QList<ForecastDay> &days, QDate today) : days_(days) {
        for (int day = 0; day < ProgressReport::forecastDays; ++day) {
            const QDate date = today.addDays(day);
            days_.append({date, 0, 0});
            texts_.append(date.toString(Qt::ISODate));
        }
    }

    // The day a date falls due on; none past the last.
    ForecastDay *dayOf(const QString &date) {
        const QStringView day = QStringView(date).left(10);
        if (day <= QStringView(texts_.first()))
            return &days_.first();
        const auto found = std::lower_bound(texts_.cbegin(), texts_.cend(), day,
                                            [](const QString &a, QStringView b) { return a < b; });
        return found != texts_.cend() && *found == day ? &days_[found - texts_.cbegin()] : nullptr;
    }

private:
    QList<ForecastDay> &days_;
    QStringList texts_;
};
} // namespace

ProgressReport progressReport(Database &db, const Clock &clock, qint64 userId) {
    return ProgressReports(db)(clock, userId);
}

ProgressReport ProgressReports::operator()(const Clock &clock, qint64 userId) {
    const QDateTime now = clock.now();
    const DueAt isDue(now);
    ProgressReport report;
    Forecast forecast(report.forecast, now.date());

    Statement passages(db_, "SELECT id, startbook, startchapter, startverse, endbook, endchapter, "
                            "endverse, numVersestoAsk, numVerses, passagelevel, scheduledate "
                            "FROM Passages WHERE UserID = ? ORDER BY id");
    Statement verses(db_, "SELECT VerseBook, verseChapter, VerseNum, verseLevel, WordSizeLevel, "
                          "ScheduleDate, minWordSize FROM PassageVerses WHERE passageID = ? "
                          "ORDER BY VerseBook, verseChapter, VerseNum, id LIMIT ?");
    VerseReader read(db_);
    if (!names_)
        names_.emplace(db_);
    passages.bindAll(userId);
    int versesLetIn = 0;
    while (passages.next()) {
        PassageProgress passage;
        passage.id = passages.integer(0);
        passage.range = shownRange(passages, 1, *names_).text();
        const int toAsk = storedNumber(passages.integer(7));
        passage.verses = storedNumber(passages.integer(8));
        passage.wholePassage = toAsk == passage.verses + 1;
        passage.level = storedNumber(passages.integer(9));
        passage.nextReview = passages.text(10);

        // A negative LIMIT would be no limit at all.
        verses.bindAll(passage.id, std::clamp(toAsk, 0, std::max(passage.verses, 0)));
        QList<AskableVerse> shown;
        while (verses.next()) {
            if (passage.versesIn++ == 0) {
                const auto place = [&](int column) {
                    return qint64(storedNumber(verses.integer(column)));
                };
                passage.readingOrder = place(0) * 1000000 + place(1) * 1000 + place(2);
            }
            const std::optional<VerseWords> words =
                words_(read, verses.integer(0), verses.integer(1), verses.integer(2));
            const int level = int(std::clamp<qint64>(verses.integer(3), 1, report.topVerseLevel));
            ++report.versesByLevel[level - 1];
            if (level == 1) {
                ++report.versesLearning;
                const int steps = words ? words->steps : 0;
                ++report
                      .levelOneByStage[int(wordSizeStage(storedNumber(verses.integer(4)), steps))];
            } else {
                ++report.versesMatured;
            }
            shown.append({verses.text(5), words && words->blanks(storedNumber(verses.integer(6)))});
        }
        verses.reset();

        // Counted as the quiz asks: the passage and each verse from when it is askable.
        const Askable asked = askable(passage.nextReview, shown);
        if (asked.passage) {
            passage.askableFrom = *asked.passage;
            passage.wait = waitUntil(passage.askableFrom, now);
            if (isDue(*asked.passage))
                ++report.passagesDue;
            if (ForecastDay *day = forecast.dayOf(*asked.passage))
                ++day->passages;
        }
        for (const std::optional<QString> &from : asked.verses) {
            if (!from)
                continue;
            if (isDue(*from))
                ++report.versesDue;
            if (ForecastDay *day = forecast.dayOf(*from))
                ++day->verses;
        }
        versesLetIn += passage.versesIn;
        report.passages.append(passage);
    }

    Statement all(db_, "SELECT count(*) FROM PassageVerses WHERE passageID IN "
                       "(SELECT id FROM Passages WHERE UserID = ?)");
    all.bindAll(userId).next();
    report.versesWaiting = int(all.integer(0)) - versesLetIn;
    return report;
}
