#include "learning/steps.h"

#include "core/clock.h"
#include "learning/schedule.h"
#include "learning/wordsize.h"

#include <algorithm>

int storedNumber(qint64 value) {
    constexpr qint64 limit = 1000000;
    return int(std::clamp(value, -limit, limit));
}

void Thresholds::adapt(bool right) {
    if (right) {
        if (up > 1)
            --up;
        else if (down > -5)
            --down;
    } else {
        if (up < 5)
            ++up;
        else if (down < 0)
            ++down;
    }
}

namespace {
constexpr int topVerseLevel = 19;
// Level 20, not 19, is a passage's top: a passage at 19 may still rise.
constexpr int topPassageLevel = 20;

QString dueAfter(const QDateTime &now, int level) {
    return toDbText(scheduleDate(now, level));
}

VerseStep AddVerseLevel(const VerseNumbers &verse, const QList<int> &wordLengths,
                        const QDateTime &now) {
    VerseNumbers next = verse;
    ++next.wordSizeLevel;
    next.minWordSize = minWordSizeOf(wordLengths, next.wordSizeLevel);
    next.verseScore = 0;
    if (next.minWordSize == 0 && next.verseLevel < topVerseLevel)
        ++next.verseLevel;
    next.scheduleDate = dueAfter(now, next.verseLevel);
    return {next, next.minWordSize == 0 && next.verseLevel == 2};
}

VerseStep RemoveVerseLevel(const VerseNumbers &verse, const QList<int> &wordLengths,
                           const QDateTime &now) {
    VerseNumbers next = verse;
    if (verse.minWordSize == 0 && verse.verseLevel > 1) {
        --next.verseLevel;
    } else if (verse.wordSizeLevel > 0) {
        --next.wordSizeLevel;
        next.minWordSize = minWordSizeOf(wordLengths, next.wordSizeLevel);
    } else {
        // Below the ladder's foot nothing changes, the score included: the next wrong page
        // tries again.
        return {verse};
    }
    next.verseScore = 0;
    next.scheduleDate = dueAfter(now, next.verseLevel);
    return {next};
}
} // namespace

VerseStep UpdateVerseScore(const VerseNumbers &verse, const QList<int> &wordLengths,
                           const Thresholds &thresholds, bool right, const QDateTime &now) {
    if (right && verse.verseScore >= thresholds.up)
        return AddVerseLevel(verse, wordLengths, now);
    if (!right && verse.verseScore <= thresholds.down)
        return RemoveVerseLevel(verse, wordLengths, now);
    VerseNumbers next = verse;
    next.verseScore += right ? 1 : -1;
    return {next};
}

PassageNumbers UpdatePassage(const PassageNumbers &passage, const Thresholds &thresholds,
                             bool right, bool newVerse, const QDateTime &now) {
    PassageNumbers next = passage;
    const bool wholePassage = passage.numVersestoAsk == passage.numVerses + 1;
    if (newVerse) {
        // Held at every verse plus one: past it the passage would leave its whole-passage
        // phase for good.
        next.numVersestoAsk = std::min(passage.numVersestoAsk + 1, passage.numVerses + 1);
        next.passageScore = 0;
    } else if (!wholePassage) {
        return passage;
    } else if (right && passage.passageScore < thresholds.up) {
        ++next.passageScore;
    } else if (!right && passage.passageScore > thresholds.down) {
        --next.passageScore;
    } else {
        if (right && passage.passageLevel < topPassageLevel)
            ++next.passageLevel;
        else if (!right && passage.passageLevel > 1)
            --next.passageLevel;
        next.passageScore = 0;
    }
    next.scheduleDate = dueAfter(now, next.passageLevel);
    return next;
}

void scorePage(PageRecords &page, const Judgement &judgement, const QDateTime &now) {
    const auto passageStep = [&](bool right, bool newVerse) {
        if (page.passage)
            page.passage =
                UpdatePassage(*page.passage, page.passageThresholds, right, newVerse, now);
        page.passageThresholds.adapt(right);
    };
    for (const auto &[verseId, right] : judgement.verses) {
        const auto record =
            std::find_if(page.verses.begin(), page.verses.end(),
                         [&](const PageVerseRecord &verse) { return verse.id == verseId; });
        if (record == page.verses.end())
            continue;
        const VerseStep step = UpdateVerseScore(record->numbers, record->wordLengths,
                                                page.verseThresholds, right, now);
        record->numbers = step.verse;
        if (step.matured)
            passageStep(true, true);
    }
    page.verseThresholds.adapt(judgement.pageRight);
    passageStep(judgement.pageRight, false);
}
