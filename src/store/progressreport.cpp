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

    // The verses let in are read before any is measured, so that those not yet measured
    // are read from the verse table in one go.
    letIn_.clear();
    firstLetIn_.clear();
    QList<VersePlace> unmeasured;
    {
        // Every verse of the learner's passages in one go, passage by passage, each in
        // reading order; a passage without verses comes as one row without them.
        Statement rows(db_,
                       "SELECT p.id, p.startbook, p.startchapter, p.startverse, p.endbook, "
                       "p.endchapter, p.endverse, p.numVersestoAsk, p.numVerses, p.passagelevel, "
                       "p.scheduledate, v.VerseBook, v.verseChapter, v.VerseNum, v.verseLevel, "
                       "v.WordSizeLevel, v.ScheduleDate, v.minWordSize, v.id FROM Passages p "
                       "LEFT JOIN PassageVerses v ON v.passageID = p.id WHERE p.UserID = ? "
                       "ORDER BY p.id, v.VerseBook, v.verseChapter, v.VerseNum, v.id");
        enum { Book = 11, Chapter, Verse, Level, WordSizeLevel, Date, MinWordSize, VerseId };
        rows.bindAll(userId);
        int toLetIn = 0; // of the passage read: the first numVersestoAsk of its verses
        while (rows.next()) {
            if (const qint64 id = rows.integer(0);
                report.passages.isEmpty() || id != report.passages.last().id) {
                PassageProgress &passage = report.passages.emplace_back();
                firstLetIn_.push_back(letIn_.size());
                passage.id = id;
                passage.range = shownRange(rows, 1, *names_).text();
                const int toAsk = storedNumber(rows.integer(7));
                passage.verses = storedNumber(rows.integer(8));
                passage.wholePassage = toAsk == passage.verses + 1;
                passage.level = storedNumber(rows.integer(9));
                passage.nextReview = rows.text(10);
                toLetIn = std::clamp(toAsk, 0, std::max(passage.verses, 0));
            }
            if (rows.isNull(VerseId))
                continue;
            PassageProgress &passage = report.passages.last();
            if (passage.versesIn == toLetIn) {
                ++report.versesWaiting;
                continue;
            }
            const VersePlace place{rows.integer(Book), rows.integer(Chapter), rows.integer(Verse)};
            if (passage.versesIn++ == 0) {
                const auto at = [](qint64 number) { return qint64(storedNumber(number)); };
                passage.readingOrder =
                    at(place.book) * 1000000 + at(place.chapter) * 1000 + at(place.verse);
            }
            const std::optional<VerseWords> words = words_.known(place);
            if (!words)
                unmeasured.append(place);
            letIn_.push_back({place, words,
                          int(std::clamp<qint64>(rows.integer(Level), 1, report.topVerseLevel)),
                          storedNumber(rows.integer(WordSizeLevel)),
                          storedNumber(rows.integer(MinWordSize)), rows.text(Date)});
        }
    }
    words_.learn(db_, unmeasured);

    QList<AskableVerse> shown;
    for (qsizetype at = 0; at < report.passages.size(); ++at) {
        PassageProgress &passage = report.passages[at];
        const qsizetype end =
            at + 1 < report.passages.size() ? firstLetIn_[at + 1] : qsizetype(letIn_.size());
        shown.clear();
        for (qsizetype v = firstLetIn_[at]; v < end; ++v) {
            const LetIn &verse = letIn_[v];
            // Learnt above, unless the verse table lacks the verse.
            const std::optional<VerseWords> words =
                verse.words ? verse.words : words_.known(verse.place);
            ++report.versesByLevel[verse.level - 1];
            if (verse.level == 1) {
                ++report.versesLearning;
                ++report.levelOneByStage[int(
                    wordSizeStage(verse.wordSizeLevel, words ? words->steps : 0))];
            } else {
                ++report.versesMatured;
            }
            shown.append({verse.scheduleDate, words && words->blanks(verse.minWordSize)});
        }
        // Counted as the quiz asks: the passage and each verse from when it is askable.
        const Askable asked = askable(passage.nextReview, shown);
        if (asked.passage) {
            passage.askableFrom = *asked.passage;
            passage.wait = isDue.waitUntil(passage.askableFrom);
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
    }
    return report;
}
