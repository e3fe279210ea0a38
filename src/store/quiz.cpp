#include "store/quiz.h"

#include "bible/versetable.h"
#include "core/clock.h"
#include "learning/askable.h"
#include "learning/schedule.h"
#include "learning/tokens.h"
#include "store/passages.h"
#include "store/wordsize.h"

#include <algorithm>

namespace {
// Everything the judged page moves, each row read once. The page's verses were added together,
// so their rows lie in one run of ids, read in one pass; their words are measured from the
// texts the page was built from.
PageRecords readRecords(Database &db, const QuizState &state, const Judgement &judgement) {
    PageRecords page{{}, std::nullopt, state.verse, state.passage};
    qint64 low = std::numeric_limits<qint64>::max(), high = std::numeric_limits<qint64>::min();
    for (const auto &[verseId, right] : judgement.verses) {
        low = std::min(low, verseId);
        high = std::max(high, verseId);
    }
    QHash<qint64, VerseNumbers> stored;
    Statement verses(db, "SELECT id, verseLevel, WordSizeLevel, minWordSize, verseScore, "
                         "ScheduleDate FROM PassageVerses WHERE id BETWEEN ? AND ? AND passageID = ?");
    verses.bindAll(low, high, state.currentPassageID);
    while (verses.next())
        stored.insert(verses.integer(0),
                      {storedNumber(verses.integer(1)), storedNumber(verses.integer(2)),
                       storedNumber(verses.integer(3)), storedNumber(verses.integer(4)),
                       verses.text(5)});
    for (const auto &[verseId, right] : judgement.verses) {
        const auto numbers = stored.constFind(verseId);
        if (numbers != stored.constEnd())
            page.verses.append({verseId, *numbers, tokenLengths(state.texts.value(verseId))});
    }
    Statement passage(db, "SELECT passageScore, passagelevel, numVersestoAsk, numVerses, "
                          "scheduledate FROM Passages WHERE id = ?");
    if (passage.bindAll(state.currentPassageID).next())
        page.passage = PassageNumbers{
            storedNumber(passage.integer(0)), storedNumber(passage.integer(1)),
            storedNumber(passage.integer(2)), storedNumber(passage.integer(3)), passage.text(4)};
    return page;
}

// An UPDATE of up to rows verses, each verse's id then its five numbers bound in turn.
QByteArray verseUpdate(qsizetype rows) {
    static const char *const columns[] = {"verseLevel", "WordSizeLevel", "minWordSize",
                                          "verseScore", "ScheduleDate"};
    QByteArray sql = "UPDATE PassageVerses SET ";
    for (int column = 0; column < 5; ++column) {
        sql += column ? ", " : "";
        sql += columns[column];
        sql += " = CASE id";
        for (qsizetype row = 0; row < rows; ++row)
            sql += " WHEN ?" + QByteArray::number(6 * row + 1) + " THEN ?" +
                   QByteArray::number(6 * row + 2 + column);
        sql += " END";
    }
    sql += " WHERE id IN (";
    for (qsizetype row = 0; row < rows; ++row)
        sql += (row ? ", ?" : "?") + QByteArray::number(6 * row + 1);
    return sql + ')';
}

// Writes the rows the page changed. Verses go a few dozen to a statement: SQLite keeps an
// encrypted copy of every page a statement changes, for undoing that statement alone, so a
// statement a verse made a whole book's page take four times as long.
void writeRecords(Database &db, const PageRecords &before, const PageRecords &after,
                  qint64 passageId) {
    constexpr qsizetype batch = 32;
    QList<const PageVerseRecord *> changed;
    for (qsizetype n = 0; n < after.verses.size(); ++n)
        if (after.verses[n].numbers != before.verses[n].numbers)
            changed.append(&after.verses[n]);
    std::optional<Statement> verses; // every batch but the last is full
    for (qsizetype from = 0; from < changed.size(); from += batch) {
        const qsizetype rows = std::min(batch, changed.size() - from);
        if (!verses || rows < batch)
            verses.emplace(db, verseUpdate(rows).constData());
        for (qsizetype row = 0; row < rows; ++row) {
            const PageVerseRecord &record = *changed[from + row];
            const VerseNumbers &v = record.numbers;
            const int first = int(6 * row + 1);
            verses->bind(first, record.id)
                .bind(first + 1, v.verseLevel)
                .bind(first + 2, v.wordSizeLevel)
                .bind(first + 3, v.minWordSize)
                .bind(first + 4, v.verseScore)
                .bind(first + 5, v.scheduleDate);
        }
        verses->run();
    }
    if (after.passage != before.passage) {
        const PassageNumbers &p = *after.passage;
        Statement(db, "UPDATE Passages SET passageScore = ?, passagelevel = ?, "
                      "numVersestoAsk = ?, scheduledate = ? WHERE id = ?")
            .bindAll(p.passageScore, p.passageLevel, p.numVersestoAsk, p.scheduleDate, passageId)
            .run();
    }
}
} // namespace

void Quiz::start(qint64 userId) {
    state_ = QuizState();
    state_.userId = userId;
    leftOut_.clear();
    newlyLeftOut_.clear();
}

QList<PageVerse> Quiz::pageVerses(qint64 passageId, qint64 count) {
    QList<PageVerse> verses;
    if (count <= 0)
        return verses;
    // The numbers judging reads are read here too, though the page needs two of them: a row
    // that cannot be read keeps its passage from being asked, rather than failing once the
    // learner has typed the page.
    Statement rows(db_, "SELECT id, VerseBook, verseChapter, VerseNum, minWordSize, ScheduleDate, "
                        "verseLevel, WordSizeLevel, verseScore FROM PassageVerses "
                        "WHERE passageID = ? ORDER BY VerseBook, verseChapter, VerseNum, id LIMIT ?");
    VerseReader read(db_);
    rows.bindAll(passageId, count);
    while (rows.next()) {
        PageVerse verse{rows.integer(0), storedNumber(rows.integer(4)), rows.text(5), std::nullopt};
        for (int column : {6, 7, 8})
            rows.integer(column);
        if (const std::optional<Verse> found =
                read(rows.integer(1), rows.integer(2), rows.integer(3))) {
            if (!found->text)
                throw nullError();
            verse.text = VerseText{names().ofStored(found->book), found->chapter, found->verse,
                                   *found->text};
        }
        verses.append(verse);
    }
    return verses;
}

const BookNames &Quiz::names() {
    if (!names_)
        names_.emplace(db_);
    return *names_;
}

void Quiz::readPassage(qint64 passageId, const std::function<void()> &read) {
    try {
        read();
    } catch (const Error &error) {
        if (error.origin() != Error::Origin::Program)
            throw; // the database failed, not this passage
        leftOut_.insert(passageId);
        LeftOut passage{passageId, QString(), error};
        try {
            Statement range(db_, "SELECT startbook, startchapter, startverse, endbook, "
                                 "endchapter, endverse FROM Passages WHERE id = ?");
            if (range.bindAll(passageId).next())
                passage.range = shownRange(range, 0, names()).text();
        } catch (const Error &unreadable) {
            if (unreadable.origin() != Error::Origin::Program)
                throw;
        }
        newlyLeftOut_.append(passage);
    }
}

QString Quiz::makeQuestion() {
    state_.blanks.clear();
    state_.texts.clear();
    ++state_.dueRound;
    const QDateTime now = clock_.now();
    struct Due {
        qint64 id, toAsk, verses;
        QString date;
    };
    QList<Due> due;
    Statement rows(db_, "SELECT id, numVersestoAsk, numVerses, scheduledate, passageScore, "
                        "passagelevel FROM Passages WHERE UserID = ? ORDER BY id");
    rows.bindAll(state_.userId);
    const DueAt isDue(now);
    while (rows.next()) {
        const qint64 id = rows.integer(0);
        if (!leftOut_.contains(id))
            readPassage(id, [&] {
                if (!isDue(rows.text(3)))
                    return;
                for (int column : {4, 5}) // read by judging, as the verses' numbers are
                    rows.integer(column);
                due.append({id, storedNumber(rows.integer(1)), storedNumber(rows.integer(2)),
                            rows.text(3)});
            });
    }

    for (qsizetype tried = 0; tried < due.size(); ++tried, ++state_.dueRound) {
        if (state_.dueRound > due.size())
            state_.dueRound = 1; // past the last due passage: start over at the first
        const Due &passage = due[state_.dueRound - 1];
        BuiltPage page;
        QList<PageVerse> verses;
        readPassage(passage.id, [&] {
            verses = pageVerses(passage.id, std::min(passage.toAsk, passage.verses + 1));
            const std::optional<QString> from = askable(passage.date, verses).passage;
            if (from && isDue(*from))
                page = buildPage(verses, now);
        });
        if (!page.blanks.isEmpty()) {
            state_.currentPassageID = passage.id;
            state_.blanks = page.blanks;
            for (const PageVerse &verse : std::as_const(verses))
                if (verse.text)
                    state_.texts.insert(verse.id, verse.text->text);
            return page.html;
        }
    }
    return emptyPage();
}

Upcoming Quiz::upcoming() {
    Upcoming next;
    // By their own dates, which none asks before: once one is askable, no later one comes first.
    Statement rows(db_, "SELECT id, numVersestoAsk, numVerses, scheduledate, startbook, "
                        "startchapter, startverse, endbook, endchapter, endverse FROM Passages "
                        "WHERE UserID = ? ORDER BY scheduledate, id");
    rows.bindAll(state_.userId);
    while (rows.next()) {
        ++next.passages;
        if (leftOut_.contains(rows.integer(0)))
            continue;
        // One that cannot be read is told of when it falls due, not here.
        try {
            const QString date = rows.text(3);
            if (!next.from.isEmpty() &&
                QStringView(date).left(16) >= QStringView(next.from).left(16))
                continue;
            const std::optional<QString> from =
                askable(date, pageVerses(rows.integer(0),
                                         std::min(rows.integer(1), rows.integer(2) + 1)))
                    .passage;
            if (from && (next.from.isEmpty() ||
                         QStringView(*from).left(16) < QStringView(next.from).left(16))) {
                next.range = shownRange(rows, 4, names()).text();
                next.from = *from;
            }
        } catch (const Error &error) {
            if (error.origin() != Error::Origin::Program)
                throw;
        }
    }
    return next;
}

Judgement Quiz::submit(const QList<BlankAnswer> &answers) {
    const std::optional<Judgement> judged =
        state_.blanks.isEmpty() ? std::nullopt : judgeReadBack(state_.blanks, answers);
    if (!judged)
        throw Error(Error::BadInput,
                    QStringLiteral("The page does not hold the blanks it was built with."));
    const Judgement &judgement = *judged;
    const qint64 changesBefore = db_.changes();
    Transaction transaction(db_);
    requirePassage(db_, state_.currentPassageID);
    const PageRecords before = readRecords(db_, state_, judgement);
    PageRecords after = before;
    scorePage(after, judgement, clock_.now());
    writeRecords(db_, before, after, state_.currentPassageID);
    transaction.commit();
    state_.written = {state_.currentPassageID, changesBefore, db_.changes()};
    state_.blanks.clear();
    state_.texts.clear();
    state_.verse = after.verseThresholds;
    state_.passage = after.passageThresholds;
    ++(judgement.pageRight ? numCorrect : numIncorrect);
    return judgement;
}
