#include "core/clock.h"
#include "store/quiz.h"
#include "store/passages.h"
#include "support/testdatabase.h"

#include <QTest>

// The quiz over a real database: which page comes next, and what a judged page changes.
class TestQuiz : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void routines_data();
    void routines();
    void walkingTheDueList();
    void theUsersOwnVersesInReadingOrder();
    void oneVerseLearntToPassageLevel3();

private:
    // A passage of John in chapter 11 for the user, added an hour ago; its id.
    qint64 john11(int first, int last, qint64 user = 1);
    QString verseRow(qint64 id);
    QString passageRow(qint64 id);
    QList<BlankAnswer> answered(bool right);

    std::optional<TestDatabase> test_;
    FixedClock clock_{fromDbText(QStringLiteral("2026-12-06 10:00:00"))};
    std::optional<Quiz> quiz_;
};

void TestQuiz::init() {
    test_.emplace(TestDatabase::withBible());
    test_->db().execute("INSERT INTO Users (id, Name) VALUES (1, 'Ann'), (2, 'Ann')");
    clock_.set(fromDbText("2026-12-06 10:00:00"));
    quiz_.emplace(test_->db(), clock_);
}

qint64 TestQuiz::john11(int first, int last, qint64 user) {
    const FixedClock hourAgo(clock_.now().addSecs(-3600));
    return addPassage(test_->db(), hourAgo, {{43, "John", 11, first}, {43, "John", 11, last}},
                      "Ann", user);
}

QString TestQuiz::verseRow(qint64 id) {
    Statement row(test_->db(), "SELECT verseLevel || '/' || WordSizeLevel || '/' || minWordSize "
                               "|| '/' || verseScore || ' ' || ScheduleDate FROM PassageVerses "
                               "WHERE id = ?");
    return row.bindAll(id).next() ? row.text(0) : QString();
}

QString TestQuiz::passageRow(qint64 id) {
    Statement row(test_->db(), "SELECT numVersestoAsk || '/' || passageScore || '/' || "
                               "passagelevel || ' ' || scheduledate FROM Passages WHERE id = ?");
    return row.bindAll(id).next() ? row.text(0) : QString();
}

QList<BlankAnswer> TestQuiz::answered(bool right) {
    QList<BlankAnswer> answers;
    for (const Blank &blank : quiz_->state().blanks)
        answers.append({blank.verseId, blank.expected, right ? blank.expected : "?"});
    return answers;
}

void TestQuiz::routines_data() {
    // John 11:35, "Jesus wept.": word sizes 5, 4, 1, then 0 from word-size level 4. The
    // passage has one verse, so it is whole once numVersestoAsk is 2.
    QTest::addColumn<QString>("routine");
    QTest::addColumn<QString>("before"); // verseLevel/WordSizeLevel/minWordSize/verseScore
    QTest::addColumn<QString>("passageBefore"); // numVersestoAsk/passageScore/passagelevel
    QTest::addColumn<int>("down");              // of both pairs of thresholds; up is 5
    QTest::addColumn<QString>("verse");
    QTest::addColumn<QString>("passage");
    QTest::addColumn<QString>("thresholds"); // the passage's, after
    const QString verse = "1/1/5/-5 2026-12-06 09:00:00";
    const QString passage = "1/0/1 2026-12-06 09:00:00";
    const auto row = [](const char *name, const char *routine, const char *before,
                        const char *passageBefore, int down, const QString &verse,
                        const QString &passage, const char *thresholds = "5/-5") {
        QTest::newRow(name) << routine << before << passageBefore << down << verse << passage
                            << thresholds;
    };
    row("wrong at 0: a word size down", "wrong", "1/2/4/0", "1/0/1", 0,
        "1/1/5/0 2026-12-06 10:00:00", passage, "5/0");
    row("no such verse", "missing", "1/1/5/-5", "1/0/1", -5, verse, passage);
    row("a verse level up, no maturing", "add", "2/4/0/1", "1/0/1", -5,
        "3/5/0/0 2026-12-06 10:10:00", passage);
    row("verse level 19 is the top", "add", "19/6/0/2", "1/0/1", -5,
        "19/7/0/0 2027-02-06 10:00:00", passage);
    row("a verse level down first", "remove", "3/5/0/2", "1/0/1", -5,
        "2/5/0/0 2026-12-06 10:05:00", passage);
    row("below the foot nothing changes", "remove", "1/0/5/-5", "1/0/1", -5,
        "1/0/5/-5 2026-12-06 09:00:00", passage);
    row("learning: a page changes nothing", "page right", "1/1/5/-5", "1/0/1", -5, verse,
        passage, "4/-5");
    row("whole: 19 rises to 20", "page right", "1/1/5/-5", "2/5/19", -5, verse,
        "2/0/20 2027-04-06 10:00:00", "4/-5");
    row("whole: 20 is the top", "page right", "1/1/5/-5", "2/5/20", -5, verse,
        "2/0/20 2027-04-06 10:00:00", "4/-5");
    row("whole: 1 is the foot", "page wrong", "1/1/5/-5", "2/-5/1", -5, verse,
        "2/0/1 2026-12-06 10:00:00", "5/-4");
    row("whole: at 0 a wrong page lowers at once", "page wrong", "1/1/5/-5", "2/0/5", 0, verse,
        "2/0/4 2026-12-06 10:15:00", "5/0");
    row("whole: a verse matures again, all stay in", "matured", "1/1/5/-5", "2/2/6", -5, verse,
        "2/0/6 2026-12-06 10:45:00", "4/-5");
    row("no such passage", "page wrong, missing", "1/1/5/-5", "1/0/1", -5, verse, passage,
        "5/-4");
}

void TestQuiz::routines() {
    QFETCH(QString, routine);
    QFETCH(QString, before);
    QFETCH(QString, passageBefore);
    QFETCH(int, down);
    const qint64 passage = john11(35, 35);
    const qint64 verse = test_->count("SELECT id FROM PassageVerses");
    const QStringList values = (before + '/' + passageBefore).split('/');
    Statement(test_->db(), "UPDATE PassageVerses SET verseLevel = ?, WordSizeLevel = ?, "
                           "minWordSize = ?, verseScore = ?")
        .bindAll(values[0].toInt(), values[1].toInt(), values[2].toInt(), values[3].toInt())
        .run();
    Statement(test_->db(), "UPDATE Passages SET numVersestoAsk = ?, passageScore = ?, "
                           "passagelevel = ?")
        .bindAll(values[4].toInt(), values[5].toInt(), values[6].toInt())
        .run();
    QuizState state;
    state.currentPassageID = routine.endsWith("missing") ? passage + 1 : passage;
    state.verse = state.passage = {5, down};
    Progress progress(test_->db(), clock_, state);
    if (routine == "add")
        progress.AddVerseLevel(verse);
    else if (routine == "remove")
        progress.RemoveVerseLevel(verse);
    else if (routine.startsWith("page") || routine == "matured")
        progress.UpdatePassage(routine == "page right" || routine == "matured",
                               routine == "matured");
    else
        progress.UpdateVerseScore(routine == "missing" ? verse + 1 : verse, routine == "right");
    QTEST(verseRow(verse), "verse");
    QTEST(passageRow(passage), "passage");
    QTEST(QStringLiteral("%1/%2").arg(state.passage.up).arg(state.passage.down), "thresholds");
}

void TestQuiz::walkingTheDueList() {
    const qint64 p[] = {john11(35, 35), john11(36, 36), john11(37, 37)};
    quiz_->start(1);
    // Each step: what to make not due ("P1", or "V2" for the second passage's verse), and
    // the passage the next page takes (0: the empty page).
    const std::pair<const char *, int> steps[] = {
        {"", 1}, {"", 2}, {"", 3}, {"", 1}, // past the last: start over
        {"P1", 3},                          // P1 done: the second round takes P3
        {"P3", 2},                          // past the end with P2 still due: start over
        {"V2", 0},                          // due, but no verse to ask: nothing left
    };
    for (const auto &[notDue, expected] : steps) {
        const QString which = QString::fromLatin1(notDue);
        if (which.startsWith('P'))
            Statement(test_->db(), "UPDATE Passages SET scheduledate = '2027-01-01 00:00:00' "
                                   "WHERE id = ?")
                .bindAll(p[which.mid(1).toInt() - 1])
                .run();
        else if (which.startsWith('V'))
            Statement(test_->db(), "UPDATE PassageVerses SET ScheduleDate = '2027-01-01 00:00:00' "
                                   "WHERE passageID = ?")
                .bindAll(p[which.mid(1).toInt() - 1])
                .run();
        const QString page = quiz_->makeQuestion();
        if (expected == 0) {
            QCOMPARE(page, emptyPage());
            QVERIFY(quiz_->state().blanks.isEmpty());
        } else {
            QCOMPARE(quiz_->state().currentPassageID, p[expected - 1]);
        }
    }
}

void TestQuiz::theUsersOwnVersesInReadingOrder() {
    // Two users of one name: each is asked only their own passages.
    Database &db = test_->db();
    addPassage(db, clock_, {{1, "Genesis", 50, 25}, {2, "Exodus", 1, 2}}, "Ann", 2);
    john11(35, 35, 1);
    Statement(db, "UPDATE Passages SET numVersestoAsk = 5 WHERE UserID = 2").run();
    quiz_->start(2);
    const QString page = quiz_->makeQuestion();
    QStringList headings;
    for (const char *verse : {"Genesis 50:25", "Genesis 50:26", "Exodus 1:1", "Exodus 1:2"})
        headings << QString::number(page.indexOf(QLatin1String(verse)));
    QVERIFY2(std::is_sorted(headings.begin(), headings.end(),
                            [](const QString &a, const QString &b) { return a.toInt() < b.toInt(); }) &&
                 !headings.contains("-1"),
             qPrintable(headings.join(' ')));
    QVERIFY(!page.contains("John"));
    quiz_->makeQuestion(); // the same passage again: it is the only one due
    QVERIFY(!quiz_->makeQuestion().contains("John"));
}

void TestQuiz::oneVerseLearntToPassageLevel3() {
    // A day between pages crosses a change of the clocks in some zones on the way.
    clock_.set(fromDbText("2026-03-27 12:00:00"));
    const qint64 passage = john11(35, 35);
    const qint64 verse = test_->count("SELECT id FROM PassageVerses");
    quiz_->start(1);
    QStringList asked;
    while (passageRow(passage).section(' ', 0, 0).section('/', 2) != "3" && asked.size() < 20) {
        clock_.set(clock_.now().addDays(1));
        quiz_->makeQuestion();
        QCOMPARE(quiz_->state().blanks.size(), 1);
        asked << quiz_->state().blanks.first().expected;
        QVERIFY(quiz_->submit(answered(true)).pageRight);
    }
    // Down the whole word-size ladder, faster as the thresholds fall, until every word is
    // blanked; the verse matures and the passage, whole, climbs its review ladder.
    QCOMPARE(asked, (QStringList{"Jesus", "Jesus", "Jesus", "Jesus", "Jesus wept", "Jesus wept",
                                 "Jesus wept.", "Jesus wept.", "Jesus wept.", "Jesus wept.",
                                 "Jesus wept."}));
    QCOMPARE(verseRow(verse), "3/5/0/1 2026-04-06 12:10:00");
    // A page is judged once: afterwards it holds no blank.
    QCOMPARE(errorNumberOf([&] { quiz_->submit(answered(true)); }), int(Error::BadInput));
    QCOMPARE(passageRow(passage), "2/0/3 2026-04-07 12:10:00");
}

QTEST_GUILESS_MAIN(TestQuiz)
#include "test_quiz.moc"
