#pragma once

#include "bible/versetable.h"
#include "db/database.h"
#include "learning/askable.h"
#include "learning/schedule.h"
#include "store/passagewritten.h"
#include "store/wordsize.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <array>
#include <vector>

class Clock;

// One passage as the progress table shows it.
struct PassageProgress {
    qint64 id = 0;
    QString range;           // as the passage list shows it
    qint64 readingOrder = 0; // of its first verse (book, chapter, verse), to sort by
    int versesIn = 0;        // let in: the first numVersestoAsk of its verses in reading order
    int verses = 0;
    bool wholePassage = false;
    int level = 0;
    QString nextReview;  // "YYYY-MM-DD HH:MM:SS", its own date
    QString askableFrom; // when the quiz asks it (askable); empty when it never would
    Wait wait;           // until askableFrom, if any
    bool operator==(const PassageProgress &) const = default;
};
// Tens of thousands are listed in one go: moved in memory as they are.
Q_DECLARE_TYPEINFO(PassageProgress, Q_RELOCATABLE_TYPE);

// Verses and passages that become askable on one local calendar day.
struct ForecastDay {
    QDate date;
    int verses = 0;
    int passages = 0;
};

// How far a verse at verse level 1 has climbed its word-size ladder: word-size level w of
// its n rungs (VerseWords::steps) is w/n of the way. Up to a third: the longest words are
// blanked; past two thirds: nearly every word, all of them at the top rung.
enum class WordSizeStage { JustBegun, Halfway, NearlyAllWords };
constexpr int wordSizeStages = 3;
WordSizeStage wordSizeStage(int wordSizeLevel, int steps);

// A learner's progress, read in one go. Only verses let in are learnt, so only they
// count as learning, matured, due, in the forecast and on the ladder. Due and the forecast
// count what the quiz asks (askable): a verse or passage from when it is askable.
struct ProgressReport {
    static constexpr int forecastDays = 14;
    static constexpr int topVerseLevel = 19;

    QList<PassageProgress> passages; // in the order they were added
    int versesLearning = 0;          // let in, verse level 1
    int versesMatured = 0;           // let in, verse level 2 or more
    int versesWaiting = 0;           // not yet let in
    int versesDue = 0;
    int passagesDue = 0;
    // Today first, with everything overdue, then the next 13 days.
    QList<ForecastDay> forecast;
    // Verses let in by verse level, level 1 first; level 1 again by its word-size stage.
    std::array<int, topVerseLevel> versesByLevel{};
    std::array<int, wordSizeStages> levelOneByStage{};
};

// Reads progress reports of one database: read-only; dates count by the local calendar day
// of their wall-clock text, and "due" is to the minute, as the quiz has it. Each verse's
// words are measured once for all the reports it reads, and the rows the last report read
// are kept for the next.
class ProgressReports {
public:
    explicit ProgressReports(Database &db) : db_(db) {}
    // The user's figures, every row read afresh.
    ProgressReport operator()(const Clock &clock, qint64 userId);
    // What a write since the last report did, told by whoever wrote.
    void written(const PassageWritten &written);
    // The last report's user's figures again from the rows it read, only the passages told
    // written since read again; when anything else was written meanwhile, through this
    // connection or by another copy of the program, all of them afresh. What the clock
    // decides (due, waits, the forecast) is counted anew each time.
    ProgressReport again(const Clock &clock);
    // How many passages the last report read from the file.
    int passagesRead() const { return passagesRead_; }

private:
    // When the quiz asks a verse or passage (askable), placed on the calendar by number.
    static constexpr qint64 neverAsked = -1;
    static constexpr qint64 askedByText = -2; // at a date minuteNumber cannot read
    // A verse let in, as read.
    struct LetIn {
        VersePlace place;
        std::optional<VerseWords> words; // none when the verse table lacks it
        int level;
        int wordSizeLevel;
        int minWordSize;
        QString date;                // its ScheduleDate; once asked, when the quiz asks it
        qint64 minute = neverAsked; // minuteNumber of that, once asked
    };
    // A passage as read: all the table shows of it but what the clock decides.
    struct Kept {
        PassageProgress passage; // askableFrom, once asked, but not the wait
        qint64 minute = neverAsked;
        int toLetIn = 0;     // the first numVersestoAsk of its verses, in reading order
        int waiting = 0;     // its verses not yet let in
        qsizetype first = 0; // of its verses let in, in letIn_
    };

    void readAll(qint64 userId);
    // From a row of passageColumns, at its first column.
    Kept passageRow(const Statement &row) const;
    // From a verse row (passageID, VerseBook, verseChapter, VerseNum, verseLevel,
    // WordSizeLevel, minWordSize, ScheduleDate): a verse of the passage, let in or waiting.
    void verseRow(const Statement &row, Kept &kept, std::vector<LetIn> &letIn,
                  QList<VersePlace> &unmeasured) const;
    // The words of these verses, measuring those not yet measured.
    void measure(std::vector<LetIn>::iterator from, std::vector<LetIn>::iterator to,
                 const QList<VersePlace> &unmeasured);
    // When the quiz asks the passage and its verses, these: dates of the file, not of the
    // clock, so found once a read.
    void ask(Kept &kept, std::vector<LetIn>::iterator verses);
    // Reads one kept passage again; false when it is no longer the user's.
    bool readAgain(qint64 passageId);
    ProgressReport count(const QDateTime &now) const;

    Database &db_;
    std::optional<BookNames> names_; // read with the first report
    VerseWordsCache words_;
    // The rows of the last report, and how the file stood when they were read.
    qint64 userId_ = 0;
    quint64 connection_ = 0; // Database::serial; 0 while none are kept
    qint64 changes_ = 0;     // Database::changes, moved on by what was told since
    qint64 dataVersion_ = 0;
    std::vector<Kept> kept_;    // in the order added
    std::vector<LetIn> letIn_;  // passage by passage; kept so that a read reuses its room
    std::vector<LetIn> fresh_;  // the rows of a passage read again
    QList<qint64> toReadAgain_; // told written since
    int passagesRead_ = 0;
    QList<AskableVerse> shown_; // what ask() hands to askable, its room reused
};

// One report, every verse measured afresh.
ProgressReport progressReport(Database &db, const Clock &clock, qint64 userId);
