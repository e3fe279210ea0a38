#pragma once

#include "bible/versetable.h"
#include "db/database.h"
#include "learning/answers.h"
#include "learning/page.h"
#include "learning/steps.h"
#include "store/passagewritten.h"

#include <QHash>
#include <QSet>
#include <functional>

class Clock;

// What a quiz carries from one page to the next.
struct QuizState {
    qint64 userId = 0;
    int dueRound = 0;            // which due passage the next page takes, from 1
    qint64 currentPassageID = 0; // the passage whose page is shown
    QList<Blank> blanks;         // of the page shown; empty once it is judged
    QHash<qint64, QString> texts; // its verses' words by PassageVerses.id, measured when judged
    Thresholds verse;
    Thresholds passage;
    PassageWritten written; // by the last page judged
};

// What the quiz asks next when it has nothing to ask now.
struct Upcoming {
    int passages = 0; // the user's, all of them
    QString range;    // of the passage asked first, as the passage list shows it
    QString from;     // askable from this minute (askable); empty when no passage ever is
};

// A due passage the quiz cannot ask: a value judging would read is not there or not a
// number. The quiz goes on without it.
struct LeftOut {
    qint64 passageId = 0;
    QString range; // as the passage list shows it; empty when that cannot be read either
    Error error;
};

// A quiz of one user's due passages, page after page.
class Quiz {
public:
    Quiz(Database &db, const Clock &clock) : db_(db), clock_(clock) {}

    // A new quiz: thresholds at 5 and -5, starting at the first due passage.
    void start(qint64 userId);
    // The next page: the next due passage (DueAt; in the order they were added) that is
    // askable now, walking on past those that are not and starting over at the end of the
    // due list; the empty page when a whole round has none. A passage whose rows cannot be
    // read is left out of the rest of the quiz (takeLeftOut); a failure of the database
    // itself throws.
    QString makeQuestion();
    // The passages makeQuestion left out since the last call: each once a quiz.
    QList<LeftOut> takeLeftOut() { return std::exchange(newlyLeftOut_, {}); }
    // The passage askable first, for a quiz with nothing to ask now.
    Upcoming upcoming();
    // Judges the shown page and stores what it moves (scorePage), each changed row written
    // once, all together or none of it (it throws). A page is judged once: afterwards it has
    // no blanks. The answers are read back from the page: it must hold the blanks built,
    // verse by verse; what was typed is judged against what was built, not against the
    // page's copy, which the browser may have changed (a NUL, a carriage return).
    Judgement submit(const QList<BlankAnswer> &answers);

    const QuizState &state() const { return state_; }
    int numCorrect = 0; // pages judged in this run
    int numIncorrect = 0;

private:
    QList<PageVerse> pageVerses(qint64 passageId, qint64 count);
    // Runs read; a value of the passage's rows it cannot read leaves the passage out.
    void readPassage(qint64 passageId, const std::function<void()> &read);
    const BookNames &names(); // read once, with the first page

    Database &db_;
    const Clock &clock_;
    QuizState state_;
    std::optional<BookNames> names_;
    QSet<qint64> leftOut_;           // in this quiz
    QList<LeftOut> newlyLeftOut_;
};
