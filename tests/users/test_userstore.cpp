#include "support/testdatabase.h"
#include "users/userstore.h"

#include <QTest>

class TestUserStore : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void namesAsTypedInNameOrder();
    void deleteRemovesEverythingOrNothing_data();
    void deleteRemovesEverythingOrNothing();
};

void TestUserStore::namesAsTypedInNameOrder() {
    TestDatabase test;
    const QString names[] = {"carl", "  Bob Lee  ", "x'); DROP TABLE \"Users\"; --",
                             QString::fromUtf8("Zoë Ørsted"), "alice", "  Bob Lee  "};
    QList<qint64> ids;
    for (const QString &name : names)
        ids << *addUser(test.db(), name);
    // Nothing for a name of blanks only.
    QVERIFY(!addUser(test.db(), "") && !addUser(test.db(), " \t "));
    // Letter case ignored, then by id: the same name twice is told apart.
    QCOMPARE(userList(test.db()), (QList<ListEntry>{{ids[1], names[1]},
                                                    {ids[5], names[5]},
                                                    {ids[4], names[4]},
                                                    {ids[0], names[0]},
                                                    {ids[2], names[2]},
                                                    {ids[3], names[3]}}));
}

void TestUserStore::deleteRemovesEverythingOrNothing_data() {
    QTest::addColumn<QString>("damage");
    QTest::newRow("no failure") << QString();
    // The last of the three deletes fails: the first two must be undone.
    QTest::newRow("failing at the user row")
        << "CREATE TRIGGER fail BEFORE DELETE ON Users BEGIN SELECT RAISE(ABORT, 'disk trouble'); "
           "END";
}

void TestUserStore::deleteRemovesEverythingOrNothing() {
    QFETCH(QString, damage);
    TestDatabase test;
    Database &db = test.db();
    const qint64 leave = *addUser(db, "Leave");
    const qint64 keep = *addUser(db, "Keep");
    // Two passages with a verse each for "Leave", one for "Keep".
    for (const qint64 user : {leave, leave, keep}) {
        Statement(db, "INSERT INTO Passages (startbook, startchapter, startverse, endbook, "
                      "endchapter, endverse, username, UserID, scheduledate) "
                      "VALUES ('John', 1, 1, 'John', 1, 1, 'x', ?, '2026-01-01 00:00:00')")
            .bindAll(user)
            .run();
        Statement(db, "INSERT INTO PassageVerses (passageID, VerseBook, verseChapter, VerseNum, "
                      "ScheduleDate) VALUES (?, 43, 1, 1, '2026-01-01 00:00:00')")
            .bindAll(db.lastInsertId())
            .run();
    }
    if (!damage.isEmpty())
        db.execute(damage.toUtf8().constData());
    const bool fails = !damage.isEmpty();
    QCOMPARE(errorNumberOf([&] { deleteUser(db, leave); }), fails ? 19 : 0);
    QCOMPARE(test.count("SELECT count(*) FROM Users"), fails ? 2 : 1);
    QCOMPARE(test.count("SELECT count(*) FROM Passages"), fails ? 3 : 1);
    QCOMPARE(test.count("SELECT count(*) FROM PassageVerses"), fails ? 3 : 1);
    // What is left belongs together: no passage without its user, no verse without its passage.
    QCOMPARE(test.count("SELECT count(*) FROM Passages WHERE UserID NOT IN (SELECT id FROM Users)"),
             0);
    QCOMPARE(test.count("SELECT count(*) FROM PassageVerses "
                        "WHERE passageID NOT IN (SELECT id FROM Passages)"),
             0);
}

QTEST_GUILESS_MAIN(TestUserStore)
#include "test_userstore.moc"
