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
// The 14 days as their text and number, so that tens of thousands of dates are placed by
// comparing text or numbers: the calendar day of the stored wall-clock reading, whatever the
// clocks did that night.
class Forecast {
public:
    Forecast(QList<ForecastDay> &days, QDate today) : days_(days) {
        for (int day = 0; day < ProgressReport::forecastDays; ++day) {
            const QDate date = today.addDays(day);
            days_.append({date, 0, 0});
            texts_.append(date.toString(Qt::ISODate));
            numbers_.append(minuteNumber(texts_.last() + QStringLiteral(" 00:00")).value_or(-1) /
                            10000);
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

    // The same for a minuteNumber.
    ForecastDay *dayOf(qint64 minute) {
        const qint64 day = minute / 10000;
        if (day <= numbers_.first())
            return &days_.first();
        const auto found = std::lower_bound(numbers_.cbegin(), numbers_.cend(), day);
        return found != numbers_.cend() && *found == day ? &days_[found - numbers_.cbegin()]
                                                         : nullptr;
    }

private:
    QList<ForecastDay> &days_;
    QStringList texts_;
    QList<qint64> numbers_;
};
} // namespace

ProgressReport progressReport(Database &db, const Clock &clock, qint64 userId) {
    return ProgressReports(db)(clock, userId);
}

namespace {
// Two reads, passages then their verses, rather than one joined: each verse row then carries
// only its own columns, those of verseRow.
const char *const passageColumns = "SELECT id, startbook, startchapter, startverse, endbook, "
                                   "endchapter, endverse, numVersestoAsk, numVerses, "
                                   "passagelevel, scheduledate FROM Passages ";
} // namespace

ProgressReport ProgressReports::operator()(const Clock &clock, qint64 userId) {
    readAll(userId);
    return count(clock.now());
}

void ProgressReports::readAll(qint64 userId) {
    connection_ = 0; // none kept, should reading fail
    userId_ = userId;
    kept_.clear();
    letIn_.clear();
    toReadAgain_.clear();
    if (!names_)
        names_.emplace(db_);
    ReadTogether together(db_);
    const qint64 dataVersion = db_.dataVersion();
    {
        Statement rows(db_,
                       (QByteArray(passageColumns) + "WHERE UserID = ? ORDER BY id").constData());
        rows.bindAll(userId);
        while (rows.next())
            kept_.push_back(passageRow(rows));
    }
    // The verses let in are read before any is measured, so that those not yet measured
    // are read from the verse table in one go.
    QList<VersePlace> unmeasured;
    {
        // Passage by passage, as above, each in reading order.
        Statement rows(db_, "SELECT v.passageID, v.VerseBook, v.verseChapter, v.VerseNum, "
                            "v.verseLevel, v.WordSizeLevel, v.minWordSize, v.ScheduleDate "
                            "FROM Passages p JOIN PassageVerses v ON v.passageID = p.id "
                            "WHERE p.UserID = ? "
                            "ORDER BY p.id, v.VerseBook, v.verseChapter, v.VerseNum, v.id");
        rows.bindAll(userId);
        auto passage = kept_.begin();
        while (rows.next()) {
            const qint64 id = rows.integer(0);
            while (passage != kept_.end() && passage->passage.id < id)
                ++passage;
            if (passage != kept_.end() && passage->passage.id == id)
                verseRow(rows, *passage, letIn_, unmeasured);
        }
    }
    qsizetype first = 0;
    for (Kept &kept : kept_) {
        kept.first = first;
        first += kept.passage.versesIn;
    }
    measure(letIn_.begin(), letIn_.end(), unmeasured);
    for (Kept &kept : kept_)
        ask(kept, letIn_.begin() + kept.first);
    passagesRead_ = int(kept_.size());
    dataVersion_ = dataVersion;
    changes_ = db_.changes();
    connection_ = db_.serial();
}

ProgressReports::Kept ProgressReports::passageRow(const Statement &row) const {
    Kept kept;
    PassageProgress &passage = kept.passage;
    passage.id = row.integer(0);
    passage.range = shownRange(row, 1, *names_).text();
    const int toAsk = storedNumber(row.integer(7));
    passage.verses = storedNumber(row.integer(8));
    passage.wholePassage = toAsk == passage.verses + 1;
    passage.level = storedNumber(row.integer(9));
    passage.nextReview = row.text(10);
    kept.toLetIn = std::clamp(toAsk, 0, std::max(passage.verses, 0));
    return kept;
}

void ProgressReports::verseRow(const Statement &row, Kept &kept, std::vector<LetIn> &letIn,
                               QList<VersePlace> &unmeasured) const {
    enum { PassageId, Book, Chapter, Verse, Level, WordSizeLevel, MinWordSize, Date };
    PassageProgress &passage = kept.passage;
    if (passage.versesIn == kept.toLetIn) {
        ++kept.waiting;
        return;
    }
    const VersePlace place{row.integer(Book), row.integer(Chapter), row.integer(Verse)};
    if (passage.versesIn++ == 0) {
        const auto at = [](qint64 number) { return qint64(storedNumber(number)); };
        passage.readingOrder =
            at(place.book) * 1000000 + at(place.chapter) * 1000 + at(place.verse);
    }
    const std::optional<VerseWords> words = words_.known(place);
    if (!words)
        unmeasured.append(place);
    const auto level = std::clamp<qint64>(row.integer(Level), 1, ProgressReport::topVerseLevel);
    letIn.push_back({place, words, int(level), storedNumber(row.integer(WordSizeLevel)),
                     storedNumber(row.integer(MinWordSize)), row.text(Date)});
}

void ProgressReports::measure(std::vector<LetIn>::iterator from, std::vector<LetIn>::iterator to,
                              const QList<VersePlace> &unmeasured) {
    if (unmeasured.isEmpty())
        return;
    words_.learn(db_, unmeasured);
    for (auto verse = from; verse != to; ++verse)
        if (!verse->words)
            verse->words = words_.known(verse->place);
}

void ProgressReports::written(const PassageWritten &written) {
    // Anything written before it that went untold shows in changes() at the next report.
    if (connection_ != 0 && written.changesBefore == changes_) {
        changes_ = written.changesAfter;
        if (!toReadAgain_.contains(written.passageId))
            toReadAgain_.append(written.passageId);
    }
}

ProgressReport ProgressReports::again(const Clock &clock) {
    const auto readAllAgain = [&] {
        readAll(userId_);
        return count(clock.now());
    };
    if (connection_ == 0 || connection_ != db_.serial() || db_.changes() != changes_)
        return readAllAgain();
    ReadTogether together(db_);
    if (db_.dataVersion() != dataVersion_)
        return readAllAgain();
    passagesRead_ = 0;
    const quint64 connection = std::exchange(connection_, 0); // none kept, should reading fail
    for (const qint64 id : std::exchange(toReadAgain_, {}))
        if (!readAgain(id))
            return readAllAgain();
    connection_ = connection;
    return count(clock.now());
}

bool ProgressReports::readAgain(qint64 passageId) {
    const auto kept = std::lower_bound(
        kept_.begin(), kept_.end(), passageId,
        [](const Kept &kept, qint64 id) { return kept.passage.id < id; });
    if (kept == kept_.end() || kept->passage.id != passageId)
        return true; // another user's: none of these figures
    Statement passage(db_,
                      (QByteArray(passageColumns) + "WHERE id = ? AND UserID = ?").constData());
    if (!passage.bindAll(passageId, userId_).next())
        return false;
    Kept read = passageRow(passage);
    fresh_.clear();
    QList<VersePlace> unmeasured;
    Statement verses(db_, "SELECT passageID, VerseBook, verseChapter, VerseNum, verseLevel, "
                          "WordSizeLevel, minWordSize, ScheduleDate FROM PassageVerses "
                          "WHERE passageID = ? ORDER BY VerseBook, verseChapter, VerseNum, id");
    verses.bindAll(passageId);
    while (verses.next())
        verseRow(verses, read, fresh_, unmeasured);
    measure(fresh_.begin(), fresh_.end(), unmeasured);
    ask(read, fresh_.begin());

    // Into the place of its rows as read before, the passages after it moved along.
    const qsizetype before = kept->passage.versesIn, after = read.passage.versesIn;
    const auto first = letIn_.begin() + kept->first;
    if (before == after) {
        std::move(fresh_.begin(), fresh_.end(), first);
    } else {
        letIn_.insert(letIn_.erase(first, first + before), std::make_move_iterator(fresh_.begin()),
                      std::make_move_iterator(fresh_.end()));
        for (auto later = kept + 1; later != kept_.end(); ++later)
            later->first += after - before;
    }
    read.first = kept->first;
    *kept = std::move(read);
    ++passagesRead_;
    return true;
}

void ProgressReports::ask(Kept &kept, std::vector<LetIn>::iterator verses) {
    shown_.clear();
    for (auto verse = verses; verse != verses + kept.passage.versesIn; ++verse)
        shown_.append({verse->date, verse->words && verse->words->blanks(verse->minWordSize)});
    const Askable asked = askable(kept.passage.nextReview, shown_);
    const auto minuteOf = [](const std::optional<QString> &from) {
        return from ? minuteNumber(*from).value_or(askedByText) : neverAsked;
    };
    kept.passage.askableFrom = asked.passage.value_or(QString());
    kept.minute = minuteOf(asked.passage);
    for (const std::optional<QString> &from : asked.verses) {
        LetIn &verse = *verses++;
        verse.date = from.value_or(QString());
        verse.minute = minuteOf(from);
    }
}

ProgressReport ProgressReports::count(const QDateTime &now) const {
    const DueAt isDue(now);
    const std::optional<qint64> nowMinute = minuteNumber(toDbText(now));
    ProgressReport report;
    Forecast forecast(report.forecast, now.date());
    // Whether a moment the quiz asks at is due, and on which day of the forecast it falls.
    const auto place = [&](qint64 minute, const QString &date) {
        if (minute >= 0 && nowMinute)
            return std::pair(minute <= *nowMinute, forecast.dayOf(minute));
        return std::pair(isDue(date), forecast.dayOf(date));
    };
    report.passages.reserve(qsizetype(kept_.size()));
    for (const Kept &kept : kept_) {
        PassageProgress &passage = report.passages.emplace_back(kept.passage);
        report.versesWaiting += kept.waiting;
        if (kept.minute != neverAsked) {
            passage.wait = isDue.waitUntil(passage.askableFrom);
            const auto [due, day] = place(kept.minute, passage.askableFrom);
            report.passagesDue += due;
            if (day)
                ++day->passages;
        }
        const auto first = letIn_.begin() + kept.first;
        for (auto verse = first; verse != first + passage.versesIn; ++verse) {
            ++report.versesByLevel[verse->level - 1];
            if (verse->level == 1) {
                ++report.versesLearning;
                ++report.levelOneByStage[int(
                    wordSizeStage(verse->wordSizeLevel, verse->words ? verse->words->steps : 0))];
            } else {
                ++report.versesMatured;
            }
            if (verse->minute == neverAsked)
                continue;
            const auto [due, day] = place(verse->minute, verse->date);
            report.versesDue += due;
            if (day)
                ++day->verses;
        }
    }
    return report;
}
