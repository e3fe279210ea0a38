#include "store/quiz.h"

#include "core/clock.h"
#include "learning/schedule.h"
#include "bible/versetable.h"
#include "store/wordsize.h"
#include "store/passages.h"

#include <algorithm>

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
// One row, read into plain numbers before anything writes.
struct VerseRecord {
    qint64 book = 0, chapter = 0, verse = 0;
    qint64 verseLevel = 0, wordSizeLevel = 0, minWordSize = 0, verseScore = 0;
};

std::optional<VerseRecord> verseRecord(Database &db, qint64 verseId) {
    Statement row(db, "SELECT VerseBook, verseChapter, VerseNum, verseLevel, WordSizeLevel, "
                      "minWordSize, verseScore FROM PassageVerses WHERE id = ?");
    if (!row.bindAll(verseId).next())
        return std::nullopt;
    return VerseRecord{row.integer(0), row.integer(1), row.integer(2), row.integer(3),
                       row.integer(4), row.integer(5), row.integer(6)};
}
} // namespace

void Progress::UpdateVerseScore(qint64 verseId, bool right) {
    const std::optional<VerseRecord> verse = verseRecord(db_, verseId);
    if (!verse)
        return;
    const qint64 score = verse->verseScore;
    if (right && score >= state_.verse.up)
        return AddVerseLevel(verseId);
    if (!right && score <= state_.verse.down)
        return RemoveVerseLevel(verseId);
    Statement(db_, "UPDATE PassageVerses SET verseScore = ? WHERE id = ?")
        .bindAll(right ? score + 1 : score - 1, verseId)
        .run();
}

void Progress::AddVerseLevel(qint64 verseId) {
    const std::optional<VerseRecord> verse = verseRecord(db_, verseId);
    if (!verse)
        return;
    const qint64 wordSizeLevel = verse->wordSizeLevel + 1;
    const int minWordSize = GetMinWordSize(db_, verse->book, verse->chapter, verse->verse,
                                           int(wordSizeLevel));
    qint64 verseLevel = verse->verseLevel;
    if (minWordSize == 0 && verseLevel < 19)
        ++verseLevel;
    Statement(db_, "UPDATE PassageVerses SET minWordSize = ?, WordSizeLevel = ?, verseScore = 0, "
                   "verseLevel = ?, ScheduleDate = ? WHERE id = ?")
        .bindAll(minWordSize, wordSizeLevel, verseLevel,
                 toDbText(GetScheduleDate(clock_, int(verseLevel))), verseId)
        .run();
    if (minWordSize == 0 && verseLevel == 2)
        UpdatePassage(true, true);
}

void Progress::RemoveVerseLevel(qint64 verseId) {
    const std::optional<VerseRecord> verse = verseRecord(db_, verseId);
    if (!verse)
        return;
    if (verse->minWordSize == 0 && verse->verseLevel > 1) {
        const qint64 verseLevel = verse->verseLevel - 1;
        Statement(db_, "UPDATE PassageVerses SET verseLevel = ?, verseScore = 0, "
                       "ScheduleDate = ? WHERE id = ?")
            .bindAll(verseLevel, toDbText(GetScheduleDate(clock_, int(verseLevel))), verseId)
            .run();
    } else if (verse->wordSizeLevel > 0) {
        const qint64 wordSizeLevel = verse->wordSizeLevel - 1;
        Statement(db_, "UPDATE PassageVerses SET minWordSize = ?, WordSizeLevel = ?, "
                       "verseScore = 0, ScheduleDate = ? WHERE id = ?")
            .bindAll(GetMinWordSize(db_, int(verse->book), int(verse->chapter),
                                    int(verse->verse), int(wordSizeLevel)),
                     wordSizeLevel, toDbText(GetScheduleDate(clock_, int(verse->verseLevel))),
                     verseId)
            .run();
    }
    // Below the ladder's foot nothing changes, the score included: the next wrong page
    // tries again.
}

void Progress::UpdatePassage(bool right, bool newVerse) {
    Statement row(db_, "SELECT passageScore, passagelevel, numVersestoAsk, numVerses "
                       "FROM Passages WHERE id = ?");
    if (row.bindAll(state_.currentPassageID).next()) {
        qint64 score = row.integer(0);
        qint64 level = row.integer(1);
        qint64 toAsk = row.integer(2);
        const qint64 verses = row.integer(3);
        row.reset();
        const bool wholePassage = toAsk == verses + 1;
        if (wholePassage && !newVerse) {
            if (right && score < state_.passage.up) {
                ++score;
            } else if (!right && score > state_.passage.down) {
                --score;
            } else {
                // Level 20, not 19, is the top: a passage at 19 may still rise.
                if (right && level <= 19)
                    ++level;
                else if (!right && level > 1)
                    --level;
                score = 0;
            }
        } else if (newVerse) {
            // Held at every verse plus one: past it the passage would leave its
            // whole-passage phase for good.
            toAsk = std::min(toAsk + 1, verses + 1);
            score = 0;
        }
        if (wholePassage || newVerse)
            Statement(db_, "UPDATE Passages SET passageScore = ?, passagelevel = ?, "
                           "numVersestoAsk = ?, scheduledate = ? WHERE id = ?")
                .bindAll(score, level, toAsk, toDbText(GetScheduleDate(clock_, int(level))),
                         state_.currentPassageID)
                .run();
    }
    state_.passage.adapt(right);
}

void Quiz::start(qint64 userId) {
    state_ = QuizState();
    state_.userId = userId;
}

QList<PageVerse> Quiz::pageVerses(qint64 passageId, qint64 count) {
    QList<PageVerse> verses;
    if (count <= 0)
        return verses;
    Statement rows(db_, "SELECT id, VerseBook, verseChapter, VerseNum, minWordSize, ScheduleDate "
                        "FROM PassageVerses WHERE passageID = ? "
                        "ORDER BY VerseBook, verseChapter, VerseNum, id LIMIT ?");
    VerseReader read(db_);
    rows.bindAll(passageId, count);
    while (rows.next()) {
        PageVerse verse{rows.integer(0), int(rows.integer(4)), rows.text(5), std::nullopt};
        if (const std::optional<Verse> found =
                read(rows.integer(1), rows.integer(2), rows.integer(3))) {
            if (!found->text)
                throw nullError();
            verse.text = VerseText{found->book, found->chapter, found->verse, *found->text};
        }
        verses.append(verse);
    }
    return verses;
}

QString Quiz::makeQuestion() {
    state_.blanks.clear();
    ++state_.dueRound;
    const QDateTime now = clock_.now();
    struct Due {
        qint64 id, toAsk, verses;
    };
    QList<Due> due;
    Statement rows(db_, "SELECT id, numVersestoAsk, numVerses FROM Passages "
                        "WHERE UserID = ? AND substr(scheduledate, 1, 16) <= ? ORDER BY id");
    rows.bindAll(state_.userId, toDbText(now).left(16));
    while (rows.next())
        due.append({rows.integer(0), rows.integer(1), rows.integer(2)});

    for (qsizetype tried = 0; tried < due.size(); ++tried, ++state_.dueRound) {
        if (state_.dueRound > due.size())
            state_.dueRound = 1; // past the last due passage: start over at the first
        const Due &passage = due[state_.dueRound - 1];
        BuiltPage page =
            buildPage(pageVerses(passage.id, std::min(passage.toAsk, passage.verses + 1)), now);
        if (!page.blanks.isEmpty()) {
            state_.currentPassageID = passage.id;
            state_.blanks = page.blanks;
            return page.html;
        }
    }
    return emptyPage();
}

Judgement Quiz::submit(const QList<BlankAnswer> &answers) {
    const bool samePage = answers.size() == state_.blanks.size() &&
                          std::equal(answers.begin(), answers.end(), state_.blanks.begin(),
                                     [](const BlankAnswer &answer, const Blank &blank) {
                                         return answer.verseId == blank.verseId &&
                                                answer.expected == blank.expected;
                                     });
    if (state_.blanks.isEmpty() || !samePage)
        throw Error(Error::BadInput,
                    QStringLiteral("The page does not hold the blanks it was built with."));
    const Judgement judgement = judgePage(answers);
    QuizState next = state_;
    Transaction transaction(db_);
    requirePassage(db_, state_.currentPassageID);
    Progress progress(db_, clock_, next);
    for (const auto &[verseId, right] : judgement.verses)
        progress.UpdateVerseScore(verseId, right);
    next.verse.adapt(judgement.pageRight);
    progress.UpdatePassage(judgement.pageRight, false);
    transaction.commit();
    next.blanks.clear();
    state_ = next;
    ++(judgement.pageRight ? numCorrect : numIncorrect);
    return judgement;
}
