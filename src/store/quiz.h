#pragma once

#include "db/database.h"
#include "learning/answers.h"
#include "learning/page.h"

class Clock;

// A pair of learning thresholds. A right page first lowers the up threshold to 1 (a verse
// or passage then rises after fewer right answers), then the down threshold to -5 (it falls
// only after more wrong ones); a wrong page undoes this in the opposite order.
struct Thresholds {
    int up = 5;   // 1..5: a right item whose score is at least this rises
    int down = -5; // -5..0: a wrong item whose score is at most this falls
    void adapt(bool right);
    bool operator==(const Thresholds &) const = default;
};

// What a quiz carries from one page to the next.
struct QuizState {
    qint64 userId = 0;
    int dueRound = 0;            // which due passage the next page takes, from 1
    qint64 currentPassageID = 0; // the passage whose page is shown
    QList<Blank> blanks;         // of the page shown; empty once it is judged
    Thresholds verse;
    Thresholds passage;
};

// The verse and passage updates after a judged page, each a read and one update of its row.
// They run inside the page's transaction and throw on any failure.
class Progress {
public:
    Progress(Database &db, const Clock &clock, QuizState &state)
        : db_(db), clock_(clock), state_(state) {}

    // One step of the verse's score; past a threshold, a stage up or down.
    void UpdateVerseScore(qint64 verseId, bool right);
    // The next word-size level; at the ladder's end also the next verse level. A verse
    // that reaches verse level 2 so has matured and lets one more verse of its passage in.
    void AddVerseLevel(qint64 verseId);
    // One verse level down, or, at verse level 1 or on the word-size ladder, one word size.
    void RemoveVerseLevel(qint64 verseId);
    // The current passage: a maturing verse (newVerse) lets the next verse in; once all
    // are in, each page moves its score, level and next review. Then the thresholds adapt.
    void UpdatePassage(bool right, bool newVerse);

private:
    Database &db_;
    const Clock &clock_;
    QuizState &state_;
};

// A quiz of one user's due passages, page after page.
class Quiz {
public:
    Quiz(Database &db, const Clock &clock) : db_(db), clock_(clock) {}

    // A new quiz: thresholds at 5 and -5, starting at the first due passage.
    void start(qint64 userId);
    // The next page: the next due passage that yields a blank, walking on past those that
    // yield none and starting over at the end of the due list; the empty page when a whole
    // round yields none.
    QString makeQuestion();
    // Judges the shown page and stores every verse and passage update together, or none of
    // them (it throws). A page is judged once: afterwards it has no blanks. The answers must
    // be the page's own blanks.
    Judgement submit(const QList<BlankAnswer> &answers);

    const QuizState &state() const { return state_; }
    int numCorrect = 0; // pages judged in this run
    int numIncorrect = 0;

private:
    QList<PageVerse> pageVerses(qint64 passageId, qint64 count);

    Database &db_;
    const Clock &clock_;
    QuizState state_;
};
