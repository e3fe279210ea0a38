// Adding a passage, against the floor: the same look-ups and inserts done directly in
// one transaction, without the word-size walk or the passage bookkeeping.
//   cmake -S . -B build-bench -G Ninja -DVERSEKEEP_BENCH=ON && ninja -C build-bench bench_addpassage
//   build-bench/bench/bench_addpassage build-bench/tests/data/bible.db
#include "core/clock.h"
#include "db/database.h"
#include "bible/versetable.h"
#include "store/passages.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {
struct Case {
    const char *name;
    PassageRange range;
};

// Median seconds of a few runs, each on a fresh copy of the verse database.
double timed(const QString &source, const std::function<void(Database &)> &work) {
    std::vector<double> seconds;
    for (int run = 0; run < 9; ++run) {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("bench.db"));
        QFile::copy(source, path);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        Database db(path);
        QElapsedTimer timer;
        timer.start();
        work(db);
        seconds.push_back(timer.nsecsElapsed() / 1e9);
    }
    std::sort(seconds.begin(), seconds.end());
    return seconds[seconds.size() / 2];
}

int floorInsert(Database &db, const PassageRange &range) {
    Transaction transaction(db);
    Statement(db, "INSERT INTO Passages (startbook, startchapter, startverse, endbook, endchapter, "
                  "endverse, username, UserID, scheduledate) VALUES ('a', 1, 1, 'b', 1, 1, 'u', 1, 'now')")
        .run();
    const qint64 id = db.lastInsertId();
    Statement text(db, "SELECT VerseText FROM kjv WHERE BookNum = ? AND Chapter = ? AND Verse = ?");
    Statement insert(db, "INSERT INTO PassageVerses (VerseBook, verseChapter, VerseNum, minWordSize, "
                         "passageID, ScheduleDate) VALUES (?, ?, ?, ?, ?, 'now')");
    int count = 0;
    for (qint64 book = range.start.book; book <= range.end.book; ++book) {
        const int chapters = book == range.end.book ? range.end.chapter : lastChapter(db, book);
        for (int chapter = book == range.start.book ? range.start.chapter : 1; chapter <= chapters;
             ++chapter) {
            const bool last = book == range.end.book && chapter == range.end.chapter;
            const int verses = last ? range.end.verse : lastVerse(db, book, chapter);
            const bool first = book == range.start.book && chapter == range.start.chapter;
            for (int verse = first ? range.start.verse : 1; verse <= verses; ++verse) {
                text.reset();
                text.bindAll(book, chapter, verse);
                const int size = text.next() ? int(text.text(0).size()) : 0;
                text.reset();
                insert.bindAll(book, chapter, verse, size, id).run();
                ++count;
            }
        }
    }
    Statement(db, "UPDATE Passages SET numVerses = ? WHERE id = ?").bindAll(count, id).run();
    transaction.commit();
    return count;
}
} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s VERSE-DATABASE\n", argv[0]);
        return 2;
    }
    const QString source = QString::fromLocal8Bit(argv[1]);
    const Case cases[] = {
        {"Psalm 119", {{19, "Psalms", 119, 1}, {19, "Psalms", 119, 176}}},
        {"Psalms", {{19, "Psalms", 1, 1}, {19, "Psalms", 150, 6}}},
        {"whole Bible", {{1, "Genesis", 1, 1}, {66, "Revelation", 22, 21}}},
    };
    const FixedClock clock(QDateTime::currentDateTime());
    // Warm the page cache and the allocator first, so the first case pays no more than the rest.
    timed(source, [&](Database &db) { floorInsert(db, cases[0].range); });
    std::printf("%-12s %8s %12s %12s %14s %7s\n", "passage", "verses", "add (s)", "floor (s)",
                "verses/s", "ratio");
    for (const Case &c : cases) {
        int verses = 0;
        const double floor = timed(source, [&](Database &db) { verses = floorInsert(db, c.range); });
        const double add = timed(source, [&](Database &db) {
            addPassage(db, clock, c.range, QStringLiteral("bench"), 1);
        });
        std::printf("%-12s %8d %12.4f %12.4f %14.0f %7.2f\n", c.name, verses, add, floor,
                    verses / add, add / floor);
    }
    return 0;
}
