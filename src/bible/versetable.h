#pragma once

#include "db/database.h"

#include <QString>
#include <optional>

// The verse table: the words of scripture, one row per verse, read only to the program.
// Every read of it is here; the rest of the program never names the table.

// Books in reading order: number and name. The table never changes while the program
// runs, so a window reads this once.
QList<ListEntry> bookList(Database &db);

// The highest chapter of a book, and verse of a chapter. A book or chapter the table does
// not hold throws the "Invalid use of Null" error.
int lastChapter(Database &db, qint64 book);
int lastVerse(Database &db, qint64 book, int chapter);

// One verse as the table holds it.
struct Verse {
    QString book; // the book's name
    int chapter = 0;
    int verse = 0;
    std::optional<QString> text; // none where the table holds NULL
};

// Reads verses one by one with one prepared query, reused.
class VerseReader {
public:
    explicit VerseReader(Database &db);
    // None for a verse the table lacks.
    std::optional<Verse> operator()(qint64 book, qint64 chapter, qint64 verse);

private:
    Statement query_;
};
