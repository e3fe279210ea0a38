#pragma once

#include "db/database.h"

class BookNames;
class Clock;

// One end of a range. Book numbers, chapters and verses count from 1; 0 means that
// the picker has nothing chosen.
struct VersePoint {
    qint64 book = 0; // kjv.BookNum
    QString bookName; // as shown; a stored passage keeps the verse table's own name
    int chapter = 0;
    int verse = 0;
};

struct PassageRange {
    VersePoint start;
    VersePoint end;

    // All six parts chosen and the end not before the start: one verse is a passage.
    bool isValid() const;
    // "Genesis 50:25 - Exodus 1:2"; a part not chosen is left empty ("Ruth : -  :").
    QString text() const;
};

// A user's passages in the order they were added: id and the range as text(), its books
// named in the Bible's language.
QList<ListEntry> passageList(Database &db, qint64 userId);

// The range of a Passages row read from its columns startbook to endverse, the first at
// column first, with the books named as shown.
PassageRange shownRange(const Statement &row, int first, const BookNames &names);

// Stores the passage with one learning record per verse of the range, across chapters
// and books, all due now; all or nothing, and nothing when the user has gone meanwhile.
// Returns the passage's id.
qint64 addPassage(Database &db, const Clock &clock, const PassageRange &range,
                  const QString &userName, qint64 userId);

// Removes the passage and its learning records, all or nothing.
void deletePassage(Database &db, qint64 passageId);

// Inside a write on the passage's behalf: throws DeletedElsewhere when another copy of the
// program has deleted the passage or its user.
void requirePassage(Database &db, qint64 passageId);
