#pragma once

#include <QString>

class Clock;
class Database;

// Books in reading order: number, name.
extern const char *const bookListSql;
// A user's passages: id, the range as "Book c:v - Book c:v"; bind the user id.
extern const char *const passageListSql;

struct VersePoint {
    qint64 book = 0; // kjv.BookNum
    QString bookName;
    int chapter = 0;
    int verse = 0;
};

struct PassageRange {
    VersePoint start;
    VersePoint end;

    // The end is not before the start: one verse is a passage.
    bool isOrdered() const;
    // "Genesis 50:25 - Exodus 1:2"
    QString text() const;
};

// The highest chapter of a book, and verse of a chapter, in the verse table. A book
// or chapter the table does not hold throws the "Invalid use of Null" error.
int lastChapter(Database &db, qint64 book);
int lastVerse(Database &db, qint64 book, int chapter);

// Stores the passage with one learning record per verse of the range, across chapters
// and books, all due now; all or nothing. Returns the passage's id.
qint64 addPassage(Database &db, const Clock &clock, const PassageRange &range,
                  const QString &userName, qint64 userId);

// Removes the passage and its learning records, all or nothing.
void deletePassage(Database &db, qint64 passageId);
