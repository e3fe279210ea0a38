// Building the question page of Psalm 119 with all 176 verses due: buildPage alone, on
// verses read once from the database, and Quiz::makeQuestion, which also finds the due
// passage and reads its verses and their text.
//   cmake -S . -B build-bench -G Ninja -DVERSEKEEP_BENCH=ON
//   ninja -C build-bench bench_buildpage versekeep_bible_db
//   build-bench/bench/bench_buildpage build-bench/tests/data/bible.db
#include "benchhome.h"

#include "core/clock.h"
#include "db/database.h"
#include "learning/page.h"
#include "store/quiz.h"
#include "store/passages.h"

#include <benchmark/benchmark.h>
#include <cstdio>

namespace {
const qint64 user = 1;

// The passage's verses as the quiz reads them.
QList<PageVerse> pageVerses(Database &db, qint64 passage) {
    Statement rows(db, "SELECT v.id, v.minWordSize, v.ScheduleDate, k.Book, k.Chapter, k.Verse, "
                       "k.VerseText FROM PassageVerses v JOIN kjv k ON k.BookNum = v.VerseBook "
                       "AND k.Chapter = v.verseChapter AND k.Verse = v.VerseNum "
                       "WHERE v.passageID = ? ORDER BY v.VerseBook, v.verseChapter, v.VerseNum");
    rows.bindAll(passage);
    QList<PageVerse> verses;
    while (rows.next())
        verses.append(
            {rows.integer(0), int(rows.integer(1)), rows.text(2),
             VerseText{rows.text(3), int(rows.integer(4)), int(rows.integer(5)), rows.text(6)}});
    return verses;
}
} // namespace

int main(int argc, char *argv[]) {
    benchmark::Initialize(&argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s [benchmark options] VERSE-DATABASE\n", argv[0]);
        return 2;
    }
    const BenchHome home(argv[1]);
    Database db(home.path());
    const FixedClock clock(QDateTime::currentDateTime());
    Statement(db, "INSERT INTO Users (id, Name) VALUES (?, 'bench')").bindAll(user).run();
    const qint64 passage = addPassage(
        db, clock,
        {{19, QStringLiteral("Psalms"), 119, 1}, {19, QStringLiteral("Psalms"), 119, 176}},
        QStringLiteral("bench"), user);
    // Every verse on the page.
    Statement(db, "UPDATE Passages SET numVersestoAsk = numVerses + 1 WHERE id = ?")
        .bindAll(passage)
        .run();
    const QList<PageVerse> verses = pageVerses(db, passage);
    const QDateTime now = clock.now();
    const BuiltPage sample = buildPage(verses, now);
    if (verses.size() != 176 || sample.blanks.size() < 176)
        qFatal("Psalm 119 is not all due");

    benchmark::RegisterBenchmark("buildPage/Psalm 119, 176 due verses", [&](benchmark::State
                                                                                &state) {
        for (auto _ : state)
            benchmark::DoNotOptimize(buildPage(verses, now));
        state.counters["blanks"] = double(sample.blanks.size());
        state.counters["html KiB"] = sample.html.toUtf8().size() / 1024.0;
    })->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("makeQuestion/Psalm 119, 176 due verses",
                                 [&](benchmark::State &state) {
                                     Quiz quiz(db, clock);
                                     quiz.start(user);
                                     for (auto _ : state)
                                         benchmark::DoNotOptimize(quiz.makeQuestion());
                                     if (quiz.state().blanks.size() != sample.blanks.size())
                                         state.SkipWithError("makeQuestion built another page");
                                 })
        ->Unit(benchmark::kMicrosecond);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
