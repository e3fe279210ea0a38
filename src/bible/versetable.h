#pragma once

#include "db/database.h"

#include <QHash>
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

// Where a verse stands in the table, in reading order.
struct VersePlace {
    qint64 book = 0;
    qint64 chapter = 0;
    qint64 verse = 0;
    auto operator<=>(const VersePlace &) const = default;
};

// Reads the verses from one place to another, both included, in reading order, with one
// prepared query, reused: start(), then next() to each verse in turn.
class VerseRangeReader {
public:
    explicit VerseRangeReader(Database &db);
    void start(const VersePlace &from, const VersePlace &to);
    bool next();
    // The verse next() reached.
    VersePlace place() const;
    std::optional<QString> text() const; // none where the table holds NULL

private:
    Statement query_;
};

// The Bible a database's verse table was built from, as its SWORD module describes it.
struct Translation {
    QString module;       // SWORD's name for it, what versekeep-makedb --module takes
    QString abbreviation; // the short name readers know, "KJV"
    QString description;  // "King James Version"
    QString language;     // a language code, "es" or "pt-BR"

    // How a heading names it: "King James Version (KJV)".
    QString title() const;
    // The language in English words, "Spanish"; the code itself for one Qt does not know.
    QString languageName() const;
    bool operator==(const Translation &) const = default;
};

// The title of the translation the database was built from; empty for a database made
// before the builder described it.
QString translationName(Database &db);

// Book names as the windows show them: in the Bible's language where the database gives
// them, else the names the verse table holds (and passages store). Read once.
class BookNames {
public:
    explicit BookNames(Database &db);

    // Books in reading order with the names shown, for the pickers.
    const QList<ListEntry> &books() const { return books_; }
    // The name shown for a book number; empty for one the verse table lacks.
    QString operator()(qint64 bookNum) const;
    // The name shown for a book name as the verse table and passages hold it; an
    // unknown name is shown as it is.
    QString ofStored(const QString &storedName) const;

private:
    QList<ListEntry> books_;
    QHash<QString, QString> byStoredName_;
};
