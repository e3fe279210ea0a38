#pragma once

#include "learning/answers.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

// A number as the database holds it, any 64-bit value, brought within +-1000000: far past
// any level, score or count of verses a learner reaches, and far enough from int's ends
// that the steps can count on from it. A hand-edited or damaged row cannot make them
// overflow.
int storedNumber(qint64 value);

// A pair of learning thresholds. A right page first lowers the up threshold to 1 (a verse
// or passage then rises after fewer right answers), then the down threshold to -5 (it falls
// only after more wrong ones); a wrong page undoes this in the opposite order.
struct Thresholds {
    int up = 5;    // 1..5: a right item whose score is at least this rises
    int down = -5; // -5..0: a wrong item whose score is at most this falls
    void adapt(bool right);
    bool operator==(const Thresholds &) const = default;
};

// A verse's learning record, as its PassageVerses row holds it.
struct VerseNumbers {
    int verseLevel = 1;    // on the review ladder, 1..19
    int wordSizeLevel = 1; // on the word-size ladder
    int minWordSize = 0;   // of the word-size level; 0 once every word is blanked
    int verseScore = 0;
    QString scheduleDate; // "YYYY-MM-DD HH:MM:SS"
    bool operator==(const VerseNumbers &) const = default;
};

struct VerseStep {
    VerseNumbers verse;
    // Reached verse level 2 with every word blanked: its passage lets one more verse in.
    bool matured = false;
};

// A verse judged on a page: one step of its score; past a threshold, a stage up
// (AddVerseLevel: the next word size, at the ladder's end the next verse level) or down
// (RemoveVerseLevel: a verse level, or at verse level 1 a word size). A stage also resets
// the score and reschedules the verse from now. The word lengths are the verse's
// tokenLengths; a verse the verse table lacks has none.
VerseStep UpdateVerseScore(const VerseNumbers &verse, const QList<int> &wordLengths,
                           const Thresholds &thresholds, bool right, const QDateTime &now);

// A passage's learning record, as its Passages row holds it.
struct PassageNumbers {
    int passageScore = 0;
    int passageLevel = 1; // on the review ladder, 1..20
    int numVersestoAsk = 1;
    int numVerses = 0;
    QString scheduleDate; // "YYYY-MM-DD HH:MM:SS"
    bool operator==(const PassageNumbers &) const = default;
};

// A passage after a page (right or wrong) or after one of its verses matured (newVerse,
// always right). A maturing verse lets the next verse in; once all are in, each page moves
// the score, past a threshold the level, and reschedules the passage from now. While verses
// are still being let in, a page changes nothing.
PassageNumbers UpdatePassage(const PassageNumbers &passage, const Thresholds &thresholds,
                             bool right, bool newVerse, const QDateTime &now);

// A verse on a judged page, with the lengths of its words.
struct PageVerseRecord {
    qint64 id = 0; // PassageVerses.id
    VerseNumbers numbers;
    QList<int> wordLengths;
};

// What a judged page moves: its verses, its passage (none once its row has gone) and the
// quiz's two pairs of thresholds.
struct PageRecords {
    QList<PageVerseRecord> verses;
    std::optional<PassageNumbers> passage;
    Thresholds verseThresholds;
    Thresholds passageThresholds;
};

// The page's outcome, step after step as each builds on the last: every judged verse that
// has a record is scored with the verse thresholds of before the page, and one that matures
// lets the next verse into the passage there and then; the verse thresholds adapt to the
// page; last the page's own passage step. Each passage step adapts the passage thresholds,
// also without a passage.
void scorePage(PageRecords &page, const Judgement &judgement, const QDateTime &now);
