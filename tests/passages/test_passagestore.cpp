#include "clock.h"
#include "passagestore.h"
#include "testdatabase.h"

#include <QTest>

namespace {
struct Verse {
    qint64 book;
    int chapter;
    int verse;
    bool operator==(const Verse &) const = default;
};

const QDateTime addedAt = fromDbText(QStringLiteral("2026-01-31 23:59:00"));

PassageRange range(Database &db, qint64 sb, int sc, int sv, qint64 eb, int ec, int ev) {
    const auto name = [&db](qint64 book) {
        Statement query(db, "SELECT Book FROM kjv WHERE BookNum = ? LIMIT 1");
        query.bindAll(book);
        return query.next() ? query.text(0) : QString();
    };
    return {{sb, name(sb), sc, sv}, {eb, name(eb), ec, ev}};
}

QList<Verse> versesOf(Database &db, qint64 passageId) {
    QList<Verse> verses;
    Statement query(db, "SELECT VerseBook, verseChapter, VerseNum FROM PassageVerses "
                        "WHERE passageID = ? ORDER BY id");
    query.bindAll(passageId);
    while (query.next())
        verses << Verse{query.integer(0), int(query.integer(1)), int(query.integer(2))};
    return verses;
}

} // namespace

Q_DECLARE_METATYPE(Verse)

class TestPassageStore : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void expansion_data();
    void expansion();
    void newPassageIsDueAtOnce();
    void failurePartWayStoresNothing_data();
    void failurePartWayStoresNothing();
};

void TestPassageStore::expansion_data() {
    QTest::addColumn<QList<int>>("bounds");
    QTest::addColumn<int>("count");
    QTest::addColumn<QList<Verse>>("expected"); // all rows, or the first and the last
    QTest::addColumn<QString>("text");
    QTest::newRow("one verse") << QList<int>{43, 11, 35, 43, 11, 35} << 1
                               << QList<Verse>{{43, 11, 35}} << "John 11:35 - John 11:35";
    QTest::newRow("within a chapter") << QList<int>{19, 23, 1, 19, 23, 6} << 6
                                      << QList<Verse>{{19, 23, 1}, {19, 23, 6}}
                                      << "Psalms 23:1 - Psalms 23:6";
    QTest::newRow("two chapters") << QList<int>{1, 1, 30, 1, 2, 2} << 4
                                  << QList<Verse>{{1, 1, 30}, {1, 1, 31}, {1, 2, 1}, {1, 2, 2}}
                                  << "Genesis 1:30 - Genesis 2:2";
    QTest::newRow("two books") << QList<int>{1, 50, 25, 2, 1, 2} << 4
                               << QList<Verse>{{1, 50, 25}, {1, 50, 26}, {2, 1, 1}, {2, 1, 2}}
                               << "Genesis 50:25 - Exodus 1:2";
    QTest::newRow("three books") << QList<int>{7, 21, 25, 9, 1, 1} << 1 + 85 + 1
                                 << QList<Verse>{{7, 21, 25}, {9, 1, 1}}
                                 << "Judges 21:25 - 1 Samuel 1:1";
    QTest::newRow("whole Bible") << QList<int>{1, 1, 1, 66, 22, 21} << 31102
                                 << QList<Verse>{{1, 1, 1}, {66, 22, 21}}
                                 << "Genesis 1:1 - Revelation 22:21";
}

void TestPassageStore::expansion() {
    QFETCH(QList<int>, bounds);
    QFETCH(int, count);
    QFETCH(QList<Verse>, expected);
    QFETCH(QString, text);
    TestDatabase test = TestDatabase::withBible();
    Database &db = test.db();
    const PassageRange r = range(db, bounds[0], bounds[1], bounds[2], bounds[3], bounds[4], bounds[5]);
    QCOMPARE(r.text(), text);
    const qint64 id = addPassage(db, FixedClock(addedAt), r, "Ann", 7);
    const QList<Verse> verses = versesOf(db, id);
    QCOMPARE(verses.size(), count);
    if (expected.size() == count)
        QCOMPARE(verses, expected);
    else
        QCOMPARE((QList<Verse>{verses.first(), verses.last()}), expected);
    // Every verse once, in reading order.
    QCOMPARE(test.count("SELECT count(*) FROM (SELECT DISTINCT VerseBook, verseChapter, VerseNum "
                        "FROM PassageVerses)"),
             count);
    Statement passage(db, "SELECT numVerses FROM Passages WHERE id = ?");
    passage.bindAll(id);
    QVERIFY(passage.next());
    QCOMPARE(passage.integer("numverses"), count);
    Statement listed(db, passageListSql);
    listed.bindAll(7);
    QVERIFY(listed.next());
    QCOMPARE(listed.text("Expr1"), text);
}

void TestPassageStore::newPassageIsDueAtOnce() {
    TestDatabase test = TestDatabase::withBible();
    Database &db = test.db();
    const qint64 id = addPassage(db, FixedClock(addedAt), range(db, 43, 11, 35, 43, 11, 36),
                                 "O'Brien", 40000);
    Statement passage(db, "SELECT * FROM Passages WHERE id = ?");
    passage.bindAll(id);
    QVERIFY(passage.next());
    QCOMPARE(passage.text("username"), "O'Brien");
    QCOMPARE(passage.integer("userid"), 40000);
    QCOMPARE(passage.text("Scheduledate"), "2026-01-31 23:59:00");
    Statement verse(db, "SELECT * FROM PassageVerses WHERE passageID = ? ORDER BY id");
    verse.bindAll(id);
    QVERIFY(verse.next());
    QCOMPARE(verse.integer("minWordSize"), 5); // "Jesus wept."
    QCOMPARE(verse.text("ScheduleDate"), "2026-01-31 23:59:00");
}

void TestPassageStore::failurePartWayStoresNothing_data() {
    QTest::addColumn<QString>("damage");
    QTest::addColumn<int>("number");
    QTest::newRow("storing a verse row") << "CREATE TRIGGER fail BEFORE INSERT ON PassageVerses "
                                            "WHEN NEW.VerseNum = 3 BEGIN SELECT RAISE(ABORT, "
                                            "'disk trouble'); END"
                                         << 19;
    QTest::newRow("book missing in between") << "DELETE FROM kjv WHERE BookNum = 2" << 94;
    QTest::newRow("NULL verse text") << "UPDATE kjv SET VerseText = NULL WHERE BookNum = 3 AND "
                                        "Chapter = 1 AND Verse = 1"
                                     << 94;
}

void TestPassageStore::failurePartWayStoresNothing() {
    QFETCH(QString, damage);
    QFETCH(int, number);
    TestDatabase test = TestDatabase::withBible();
    Database &db = test.db();
    const PassageRange r = range(db, 1, 50, 1, 3, 1, 3);
    db.execute(damage.toUtf8().constData());
    QCOMPARE(errorNumberOf([&] { addPassage(db, FixedClock(addedAt), r, "Ann", 1); }), number);
    QCOMPARE(test.count("SELECT count(*) FROM Passages"), 0);
    QCOMPARE(test.count("SELECT count(*) FROM PassageVerses"), 0);
}

QTEST_GUILESS_MAIN(TestPassageStore)
#include "test_passagestore.moc"
