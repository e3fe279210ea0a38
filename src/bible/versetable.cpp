#include "bible/versetable.h"

#include <limits>

QList<ListEntry> bookList(Database &db) {
    // Book to book along the key: a GROUP BY would read every verse.
    Statement next(db, "SELECT BookNum, Book FROM kjv WHERE BookNum > ? ORDER BY BookNum LIMIT 1");
    QList<ListEntry> books;
    qint64 last = std::numeric_limits<qint64>::min();
    while (next.bindAll(last).next()) {
        books.append({next.integer(0), next.text(1)});
        last = books.last().id;
        next.reset();
    }
    return books;
}

namespace {
int singleNumber(Statement &query) {
    query.next();
    return int(query.integer(0));
}
} // namespace

int lastChapter(Database &db, qint64 book) {
    Statement query(db, "SELECT max(Chapter) AS lastChapter FROM kjv WHERE BookNum = ?");
    query.bindAll(book);
    return singleNumber(query);
}

int lastVerse(Database &db, qint64 book, int chapter) {
    Statement query(db, "SELECT max(Verse) AS lastVerse FROM kjv WHERE BookNum = ? AND Chapter = ?");
    query.bindAll(book, chapter);
    return singleNumber(query);
}

VerseReader::VerseReader(Database &db)
    : query_(db, "SELECT Book, Chapter, Verse, VerseText FROM kjv "
                 "WHERE BookNum = ? AND Chapter = ? AND Verse = ?") {}

std::optional<Verse> VerseReader::operator()(qint64 book, qint64 chapter, qint64 verse) {
    query_.reset();
    query_.bindAll(book, chapter, verse);
    std::optional<Verse> found;
    if (query_.next())
        found = Verse{query_.text(0), int(query_.integer(1)), int(query_.integer(2)),
                      query_.isNull(3) ? std::nullopt : std::optional(query_.text(3))};
    query_.reset();
    return found;
}
