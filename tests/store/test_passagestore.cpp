#include "core/clock.h"
#include "store/passages.h"
#include "store/progressreport.h"
#include "store/quiz.h"
#include "support/testdatabase.h"

#include <QTest>

namespace {
const QDateTime addedAt = fromDbText(QStringLiteral("2026-01-31 23:59:00"));
} // namespace

Q_DECLARE_METATYPE(PassageRange)

class TestPassageStore : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void adding_data();
    void adding();
    void booksShownInTheBiblesLanguage();
};

void TestPassageStore::adding_data() {
    QTest::addColumn<PassageRange>("range");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("count");      // 0: no passage
    QTest::addColumn<QString>("verses"); // every verse in order, or the first and the last
    const auto row = [](const char *text, VersePoint start, VersePoint end, int count,
                        const char *verses) {
        QTest::newRow(text) << PassageRange{start, end} << QString(text) << count
                            << QString(verses);
    };
    row("John 11:35 - John 11:35", {43, "John", 11, 35}, {43, "John", 11, 35}, 1, "43:11:35");
    row("Genesis 1:30 - Genesis 2:2", {1, "Genesis", 1, 30}, {1, "Genesis", 2, 2}, 4,
        "1:1:30 1:1:31 1:2:1 1:2:2");
    row("Judges 21:25 - 1 Samuel 1:1", {7, "Judges", 21, 25}, {9, "1 Samuel", 1, 1}, 1 + 85 + 1,
        "7:21:25 9:1:1");
    // A later book, an earlier chapter.
    row("John 3:16 - Acts 1:1", {43, "John", 3, 16}, {44, "Acts", 1, 1}, 789, "43:3:16 44:1:1");
    row("John 3:16 - John 3:15", {43, "John", 3, 16}, {43, "John", 3, 15}, 0, "");
    row("John 3:16 - Luke 24:53", {43, "John", 3, 16}, {42, "Luke", 24, 53}, 0, "");
}

// A range as the label shows it and, when it is a passage, what is stored of it.
void TestPassageStore::adding() {
    QFETCH(PassageRange, range);
    QFETCH(int, count);
    QFETCH(QString, verses);
    QTEST(range.text(), "text");
    QCOMPARE(range.isValid(), count > 0);
    if (count == 0)
        return;
    TestDatabase test = TestDatabase::withBible();
    Database &db = test.db();
    db.execute("INSERT INTO Users (id, Name) VALUES (40000, 'O''Brien')");
    const qint64 id = addPassage(db, FixedClock(addedAt), range, "O'Brien", 40000);
    Statement rows(db, "SELECT VerseBook || ':' || verseChapter || ':' || VerseNum "
                       "FROM PassageVerses WHERE passageID = ? ORDER BY id");
    QStringList stored;
    for (rows.bindAll(id); rows.next();)
        stored << rows.text(0);
    QCOMPARE(stored.size(), count);
    if (count > 4)
        stored = QStringList{stored.first(), stored.last()};
    QCOMPARE(stored.join(' '), verses);
    // Whose it is, and all of it due at once.
    Statement passage(db, "SELECT username || '/' || userid || '/' || numVerses FROM Passages "
                          "WHERE Scheduledate = ?1 AND numVerses = (SELECT count(*) FROM "
                          "PassageVerses WHERE ScheduleDate = ?1)");
    QVERIFY(passage.bindAll(toDbText(addedAt)).next());
    QCOMPARE(passage.text(0), QStringLiteral("O'Brien/40000/%1").arg(count));
    QCOMPARE(passageList(db, 40000), (QList<ListEntry>{{id, range.text()}}));
    QCOMPARE(passageList(db, 8), QList<ListEntry>()); // another user's
}

void TestPassageStore::booksShownInTheBiblesLanguage() {
    TestDatabase test = TestDatabase::withBible();
    Database &db = test.db();
    // A Spanish Bible's names; the verse table keeps the English ones.
    db.execute("INSERT INTO Users (id, Name) VALUES (1, 'Ann');"
               "UPDATE BibleBooks SET Name = 'Génesis' WHERE BookNum = 1;"
               "UPDATE BibleBooks SET Name = 'Éxodo' WHERE BookNum = 2");
    const FixedClock clock(addedAt);
    addPassage(db, clock, {{1, "Génesis", 50, 26}, {2, "Éxodo", 1, 1}}, "Ann", 1);
    QCOMPARE(test.count("SELECT count(*) FROM Passages WHERE startbook = 'Genesis' AND "
                        "endbook = 'Exodus'"),
             1);
    const QString shown = QStringLiteral("Génesis 50:26 - Éxodo 1:1");
    QCOMPARE(passageList(db, 1).value(0).text, shown);
    QCOMPARE(progressReport(db, clock, 1).passages.value(0).range, shown);
    Quiz quiz(db, clock);
    quiz.start(1);
    QVERIFY(quiz.makeQuestion().contains(QStringLiteral("Génesis 50:26")));
}

QTEST_GUILESS_MAIN(TestPassageStore)
#include "test_passagestore.moc"
