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
    if (!names_)
        names_.emplace(db_);
    VerseReader read(db_);

    // Every verse of the learner's passages in one go, passage by passage, each in reading
    // order; a passage without verses comes as one row without them.
    Statement rows(db_, "SELECT p.id, p.startbook, p.startchapter, p.startverse, p.endbook, "
                        "p.endchapter, p.endverse, p.numVersestoAsk, p.numVerses, p.passagelevel, "
                        "p.scheduledate, v.VerseBook, v.verseChapter, v.VerseNum, v.verseLevel, "
                        "v.WordSizeLevel, v.ScheduleDate, v.minWordSize, v.id FROM Passages p "
                        "LEFT JOIN PassageVerses v ON v.passageID = p.id WHERE p.UserID = ? "
                        "ORDER BY p.id, v.VerseBook, v.verseChapter, v.VerseNum, v.id");
    enum { Book = 11, Chapter, Verse, Level, WordSizeLevel, Date, MinWordSize, VerseId };
    rows.bindAll(userId);

    std::optional<qint64> reading; // the passage whose rows come
    PassageProgress passage;
    int letIn = 0; // the first numVersestoAsk of its verses
    QList<AskableVerse> shown;
    // Counted as the quiz asks: the passage and each verse from when it is askable.
    const auto finish = [&] {
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
        report.passages.append(std::move(passage));
    };
    while (rows.next()) {
        if (const qint64 id = rows.integer(0); id != reading) {
            if (reading)
                finish();
            reading = id;
            passage = {};
            shown.clear();
            passage.id = id;
            passage.range = shownRange(rows, 1, *names_).text();
            const int toAsk = storedNumber(rows.integer(7));
            passage.verses = storedNumber(rows.integer(8));
            passage.wholePassage = toAsk == passage.verses + 1;
            passage.level = storedNumber(rows.integer(9));
            passage.nextReview = rows.text(10);
            letIn = std::clamp(toAsk, 0, std::max(passage.verses, 0));
        }
        if (rows.isNull(VerseId))
            continue;
        if (passage.versesIn == letIn) {
            ++report.versesWaiting;
            continue;
        }
        const qint64 book = rows.integer(Book), chapter = rows.integer(Chapter),
                     verse = rows.integer(Verse);
        if (passage.versesIn++ == 0) {
            const auto place = [](qint64 number) { return qint64(storedNumber(number)); };
            passage.readingOrder = place(book) * 1000000 + place(chapter) * 1000 + place(verse);
        }
        const std::optional<VerseWords> words = words_(read, book, chapter, verse);
        const int level = int(std::clamp<qint64>(rows.integer(Level), 1, report.topVerseLevel));
        ++report.versesByLevel[level - 1];
        if (level == 1) {
            ++report.versesLearning;
            const int steps = words ? words->steps : 0;
            ++report.levelOneByStage[int(
                wordSizeStage(storedNumber(rows.integer(WordSizeLevel)), steps))];
        } else {
            ++report.versesMatured;
        }
        shown.append(
            {rows.text(Date), words && words->blanks(storedNumber(rows.integer(MinWordSize)))});
    }
    if (reading)
        finish();
    return report;
}
