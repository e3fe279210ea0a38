#include "store/passages.h"

#include "bible/versetable.h"
#include "core/clock.h"
#include "store/users.h"
#include "store/wordsize.h"

bool PassageRange::isValid() const {
    for (const VersePoint &point : {start, end})
        if (point.book <= 0 || point.chapter <= 0 || point.verse <= 0)
            return false;
    if (end.book != start.book)
        return end.book > start.book;
    if (end.chapter != start.chapter)
        return end.chapter > start.chapter;
    return end.verse >= start.verse;
}

QString PassageRange::text() const {
    // Written into one string: the progress window writes tens of thousands at a time.
    QString text;
    text.reserve(start.bookName.size() + end.bookName.size() + 24);
    const auto number = [&](int value) {
        QChar digits[10];
        int count = 0;
        for (; value > 0; value /= 10)
            digits[count++] = QChar(u'0' + value % 10);
        while (count > 0)
            text.append(digits[--count]);
    };
    const auto point = [&](const VersePoint &p) {
        text.append(p.bookName).append(u' ');
        number(p.chapter);
        text.append(u':');
        number(p.verse);
    };
    point(start);
    text.append(u" - ");
    point(end);
    return text;
}

QList<ListEntry> passageList(Database &db, qint64 userId) {
    const BookNames names(db);
    Statement rows(db, "SELECT id, startbook, startchapter, startverse, endbook, endchapter, "
                       "endverse FROM Passages WHERE UserID = ? ORDER BY id");
    rows.bindAll(userId);
    QList<ListEntry> passages;
    while (rows.next())
        passages.append({rows.integer(0), shownRange(rows, 1, names).text()});
    return passages;
}

PassageRange shownRange(const Statement &row, int first, const BookNames &names) {
    const auto point = [&](int at) {
        return VersePoint{0, names.ofStored(row.text(at)), int(row.integer(at + 1)),
                          int(row.integer(at + 2))};
    };
    return {point(first), point(first + 3)};
}

qint64 addPassage(Database &db, const Clock &clock, const PassageRange &range,
                  const QString &userName, qint64 userId) {
    const QString now = toDbText(clock.now());
    Transaction transaction(db);
    requireUser(db, userId);
    // The names the verse table holds, whatever language the pickers showed.
    VerseReader read(db);
    const auto storedName = [&](const VersePoint &point) {
        const std::optional<Verse> verse = read(point.book, point.chapter, point.verse);
        if (!verse)
            throw nullError();
        return verse->book;
    };
    // The passage row comes first so its id exists; numVerses is known only at the end.
    Statement(db, "INSERT INTO Passages (startbook, startchapter, startverse, endbook, "
                  "endchapter, endverse, passagelevel, username, scheduledate, passageScore, "
                  "numVersestoAsk, UserID, numVerses) VALUES (?, ?, ?, ?, ?, ?, 1, ?, ?, 0, 1, ?, 0)")
        .bindAll(storedName(range.start), range.start.chapter, range.start.verse,
                 storedName(range.end), range.end.chapter, range.end.verse, userName, now, userId)
        .run();
    const qint64 passageId = db.lastInsertId();

    WordSizeMeasure measure(db);
    Statement insertVerse(db, "INSERT INTO PassageVerses (VerseBook, verseChapter, VerseNum, "
                              "minWordSize, verseScore, passageID, WordSizeLevel, verseLevel, "
                              "ScheduleDate) VALUES (?, ?, ?, ?, 0, ?, 1, 1, ?)");
    int count = 0;
    for (qint64 book = range.start.book; book <= range.end.book; ++book) {
        const bool startBook = book == range.start.book;
        const bool endBook = book == range.end.book;
        const int firstChapter = startBook ? range.start.chapter : 1;
        const int finalChapter = endBook ? range.end.chapter : lastChapter(db, book);
        for (int chapter = firstChapter; chapter <= finalChapter; ++chapter) {
            const int firstVerse = startBook && chapter == firstChapter ? range.start.verse : 1;
            const int finalVerse = endBook && chapter == finalChapter
                                       ? range.end.verse
                                       : lastVerse(db, book, chapter);
            for (int verse = firstVerse; verse <= finalVerse; ++verse) {
                insertVerse.bindAll(book, chapter, verse, measure(int(book), chapter, verse, 1),
                                    passageId, now);
                insertVerse.run();
                ++count;
            }
        }
    }
    Statement(db, "UPDATE Passages SET numVerses = ? WHERE id = ?").bindAll(count, passageId).run();
    transaction.commit();
    return passageId;
}

void deletePassage(Database &db, qint64 passageId) {
    Transaction transaction(db);
    requirePassage(db, passageId);
    Statement(db, "DELETE FROM Passages WHERE id = ?").bindAll(passageId).run();
    Statement(db, "DELETE FROM PassageVerses WHERE passageID = ?").bindAll(passageId).run();
    transaction.commit();
}

void requirePassage(Database &db, qint64 passageId) {
    Statement passage(db, "SELECT count(*) FROM Passages p JOIN Users u ON u.id = p.UserID "
                          "WHERE p.id = ?");
    if (passage.bindAll(passageId).next() && passage.integer(0) == 0)
        throw Error(Error::DeletedElsewhere,
                    QStringLiteral("This passage was deleted in another copy of Versekeep, so "
                                   "nothing was saved."));
}
