#include "store/users.h"
#include "support/testdatabase.h"

#include <QTest>

class TestUserStore : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void namesAsTypedInNameOrder();
};

void TestUserStore::namesAsTypedInNameOrder() {
    TestDatabase test;
    const QString names[] = {"carl", "  Bob Lee  ", "x'); DROP TABLE \"Users\"; --",
                             QString::fromUtf8("Zoë Ørsted"), "alice", "  Bob Lee  "};
    QList<qint64> ids;
    for (const QString &name : names)
        ids << *addUser(test.db(), name);
    // Nothing for a name of blanks only; a name with a control character is refused.
    QVERIFY(!addUser(test.db(), "") && !addUser(test.db(), " \t "));
    for (const char *name : {"Ann\nLee", "Ann\tLee", "\x1b[31mAnn", "Ann\u2028Lee"})
        QCOMPARE(errorNumberOf([&] { addUser(test.db(), QString::fromUtf8(name)); }),
                 int(Error::BadInput));
    // Letter case ignored, then by id: the same name twice is told apart.
    QCOMPARE(userList(test.db()), (QList<ListEntry>{{ids[1], names[1]},
                                                    {ids[5], names[5]},
                                                    {ids[4], names[4]},
                                                    {ids[0], names[0]},
                                                    {ids[2], names[2]},
                                                    {ids[3], names[3]}}));
}

QTEST_GUILESS_MAIN(TestUserStore)
#include "test_userstore.moc"
