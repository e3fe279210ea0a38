#include "support/testdatabase.h"
#include "users/userstore.h"

#include <QTest>

class TestUserStore : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void namesAreStoredAsTyped_data();
    void namesAreStoredAsTyped();
    void listIsInNameOrder();
    void deleteRemovesEverythingOrNothing_data();
    void deleteRemovesEverythingOrNothing();
};

void TestUserStore::namesAreStoredAsTyped_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("stored");
    QTest::newRow("blanks kept") << "  Ann Lee  " << true;
    QTest::newRow("quotes and SQL") << "x'); DROP TABLE \"Users\"; --" << true;
    QTest::newRow("not ascii") << QString::fromUtf8("Zoë Ørsted") << true;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("blanks only") << " \t " << false;
}

void TestUserStore::namesAreStoredAsTyped() {
    QFETCH(QString, name);
    QFETCH(bool, stored);
    TestDatabase test;
    const std::optional<qint64> id = addUser(test.db(), name);
    QCOMPARE(id.has_value(), stored);
    const QList<ListEntry> expected =
        stored ? QList<ListEntry>{{*id, name}} : QList<ListEntry>{};
    QCOMPARE(userList(test.db()), expected);
}

void TestUserStore::listIsInNameOrder() {
    TestDatabase test;
    for (const char *name : {"carl", "Bob", "alice", "Bob"})
        addUser(test.db(), QString::fromLatin1(name));
    QStringList names;
    qint64 lastBob = 0;
    for (const ListEntry &entry : userList(test.db())) {
        names << entry.text;
        if (entry.text == "Bob") {
            QVERIFY(entry.id > lastBob); // the same name twice: told apart by id
            lastBob = entry.id;
        }
    }
    QCOMPARE(names, (QStringList{"alice", "Bob", "Bob", "carl"}));
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
