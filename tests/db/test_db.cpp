#include "database.h"
#include "testdatabase.h"

#include <QTest>

// Opening and refusing files is tested through the real start-up (test_startup).
class TestDb : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void failedTransactionLeavesNothing();
    void columnsByNameIgnoreCase();
    void nullIsToldApartFromZeroAndEmpty();
};

void TestDb::failedTransactionLeavesNothing() {
    TestDatabase test;
    Database &db = test.db();
    QVERIFY(errorNumberOf([&] {
        Transaction transaction(db);
        Statement(db, "INSERT INTO Users (Name) VALUES (?)").bindAll(QStringLiteral("Ann")).run();
        Statement(db, "INSERT INTO Users (id, Name) VALUES (?, ?)")
            .bindAll(db.lastInsertId(), QStringLiteral("same id"))
            .run(); // a constraint failure half-way
        transaction.commit();
    }) == 19);
    QCOMPARE(test.count("SELECT count(*) FROM Users"), 0);

    // A transaction left without commit rolls back too, and the connection stays usable.
    {
        Transaction transaction(db);
        Statement(db, "INSERT INTO Users (Name) VALUES ('Bob')").run();
    }
    QCOMPARE(test.count("SELECT count(*) FROM Users"), 0);
    {
        Transaction transaction(db);
        Statement(db, "INSERT INTO Users (Name) VALUES ('Cy')").run();
        transaction.commit();
    }
    QCOMPARE(test.reopen().isOpen(), true);
    QCOMPARE(test.count("SELECT count(*) FROM Users"), 1);
}

void TestDb::columnsByNameIgnoreCase() {
    TestDatabase test;
    test.addVerse(43, QStringLiteral("John"), 11, 35, QStringLiteral("Jesus wept."));
    Statement query(test.db(), "SELECT BookNum, VerseText AS verseText FROM kjv");
    QVERIFY(query.next());
    for (const char *name : {"booknum", "BOOKNUM", "BookNum"})
        QCOMPARE(query.integer(name), 43);
    for (const char *name : {"versetext", "VerseText", "VERSETEXT"})
        QCOMPARE(query.text(name), QStringLiteral("Jesus wept."));
    QCOMPARE(errorNumberOf([&] { query.column("nosuch"); }), 1);
}

void TestDb::nullIsToldApartFromZeroAndEmpty() {
    TestDatabase test;
    Statement query(test.db(), "SELECT NULL AS a, 0 AS b, '' AS c");
    QVERIFY(query.next());
    QVERIFY(query.isNull("a") && !query.isNull("b") && !query.isNull("c"));
    QVERIFY(query.value("a").isNull());
    QCOMPARE(query.value("b"), QVariant(qint64(0)));
    QCOMPARE(query.value("c"), QVariant(QString()));
    QCOMPARE(errorNumberOf([&] { query.text("a"); }), int(Error::InvalidUseOfNull));
    QCOMPARE(errorNumberOf([&] { query.integer("a"); }), int(Error::InvalidUseOfNull));
}

QTEST_GUILESS_MAIN(TestDb)
#include "test_db.moc"
