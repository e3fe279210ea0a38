#include "bible/versetable.h"

#include <QLocale>
#include <QRegularExpression>
#include <algorithm>
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
    Statement query(db,
                    "SELECT max(Verse) AS lastVerse FROM kjv WHERE BookNum = ? AND Chapter = ?");
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

VerseRangeReader::VerseRangeReader(Database &db)
    : query_(db, "SELECT BookNum, Chapter, Verse, VerseText FROM kjv WHERE (BookNum, Chapter, "
                 "Verse) BETWEEN (?, ?, ?) AND (?, ?, ?) ORDER BY BookNum, Chapter, Verse") {}

void VerseRangeReader::start(const VersePlace &from, const VersePlace &to) {
    query_.reset();
    query_.bindAll(from.book, from.chapter, from.verse, to.book, to.chapter, to.verse);
}

bool VerseRangeReader::next() {
    return query_.next();
}

VersePlace VerseRangeReader::place() const {
    return {query_.integer(0), query_.integer(1), query_.integer(2)};
}

std::optional<QString> VerseRangeReader::text() const {
    return query_.isNull(3) ? std::nullopt : std::optional(query_.text(3));
}

QString Translation::title() const {
    if (description.isEmpty() || abbreviation.isEmpty() || abbreviation == description)
        return description.isEmpty() ? abbreviation : description;
    return QStringLiteral("%1 (%2)").arg(description, abbreviation);
}

QString Translation::languageName() const {
    // Qt knows languages, not regions or scripts: "pt" of "pt-BR", "zh" of "zh_Hant".
    static const QRegularExpression subtag(QStringLiteral("[-_].*"));
    const QLocale::Language known = QLocale::codeToLanguage(QString(language).remove(subtag));
    return known == QLocale::AnyLanguage ? language : QLocale::languageToString(known);
}

namespace {
// The builder's description came later than the verse table; older files lack its tables.
bool hasTable(Database &db, const char *name) {
    Statement query(db, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?");
    query.bindAll(QString::fromLatin1(name));
    return query.next();
}
} // namespace

QString translationName(Database &db) {
    if (!hasTable(db, "Bible"))
        return {};
    Statement query(db, "SELECT Abbreviation, Description FROM Bible LIMIT 1");
    return query.next() ? Translation{{}, query.text(0), query.text(1), {}}.title() : QString();
}

BookNames::BookNames(Database &db) : books_(bookList(db)) {
    for (const ListEntry &book : std::as_const(books_))
        byStoredName_.insert(book.text, book.text);
    if (!hasTable(db, "BibleBooks"))
        return;
    Statement names(db, "SELECT BookNum, Name FROM BibleBooks");
    while (names.next()) {
        const auto book = std::find_if(books_.begin(), books_.end(), [&](const ListEntry &entry) {
            return entry.id == names.integer(0);
        });
        if (book == books_.end())
            continue;
        byStoredName_[book->text] = names.text(1);
        book->text = names.text(1);
    }
}

QString BookNames::operator()(qint64 bookNum) const {
    const auto book = std::find_if(books_.begin(), books_.end(),
                                   [&](const ListEntry &entry) { return entry.id == bookNum; });
    return book == books_.end() ? QString() : book->text;
}

QString BookNames::ofStored(const QString &storedName) const {
    return byStoredName_.value(storedName, storedName);
}
