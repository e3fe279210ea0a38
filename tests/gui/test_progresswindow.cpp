#include "gui/progress/progresswindow.h"
#include "support/windowfixture.h"

#include <QAbstractBarSeries>
#include <QApplication>
#include <QBarSet>
#include <QChartView>
#include <QLabel>
#include <QRegularExpression>
#include <QTableView>

namespace {
// What the window shows: the summary; each bar set's counts, as far as the last that is not 0;
// then the table, a row a line.
QStringList shown(const ProgressWindow &window) {
    QStringList texts{QString()};
    for (const char *name : {"passageCount", "versesLearning", "versesMatured", "versesWaiting",
                             "versesDue", "passagesDue"})
        texts[0] += window.findChild<QLabel *>(name)->text() + ' ';
    for (const char *name : {"forecastChart", "ladderChart"})
        for (const QBarSet *set : qobject_cast<QAbstractBarSeries *>(
                                      window.findChild<QChartView *>(name)->chart()->series()[0])
                                      ->barSets()) {
            QString counts;
            for (int i = 0; i < set->count(); ++i)
                counts += QStringLiteral("%1 ").arg(set->at(i));
            texts << counts.remove(QRegularExpression("(0 )*$"));
        }
    const QAbstractItemModel *rows = window.findChild<QTableView *>("passageTable")->model();
    for (int row = 0; row < rows->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < 4; ++column)
            cells << rows->index(row, column).data().toString();
        texts << cells.join(" | ");
    }
    return texts;
}

// Ann and Bob. 11:35 has 3 word sizes, so 3 rungs at level 1. Ann's first passage lets in 3
// verses, in reading order rather than as stored, one without a text; her second has nothing to
// ask until its verse falls due; then whole passages, due ever later, to the forecast's last
// day and past it. Bob's has no verse at all.
const char *const twoLearners =
    "INSERT INTO kjv VALUES (43, 'John', 11, 35, 'Jesus wept.'), (43, 'John', 11, 34, 'Come "
    "and see.'), (65, 'Jude', 1, 1, 'Jude, the servant'), (8, 'Ruth', 1, 1, 'Now it came');"
    "INSERT INTO Users (id, Name) VALUES (1, 'Ann'), (2, 'Bob');"
    "INSERT INTO Passages (startbook, startchapter, startverse, endbook, endchapter, endverse, "
    "username, UserID, scheduledate, numVersestoAsk, numVerses, passagelevel) VALUES "
    "('John', 11, 33, 'John', 11, 36, 'Ann', 1, '2026-12-06 10:00:59', 3, 4, 1),"
    "('Jude', 1, 1, 'Jude', 1, 1, 'Ann', 1, '2026-12-06 09:00:00', 1, 1, 1),"
    "('Jude', 1, 1, 'Jude', 1, 2, 'Bob', 2, '2026-12-01 00:00:00', 1, 2, 1);"
    "INSERT INTO PassageVerses (passageID, VerseBook, verseChapter, VerseNum, verseLevel, "
    "WordSizeLevel, ScheduleDate) VALUES "
    "(1, 43, 11, 36, 1, 1, '2026-12-06 10:00:00'), (1, 43, 11, 35, 1, 2, '2026-12-06 10:00:00'),"
    "(1, 43, 11, 34, 1, 1, '2026-12-06 10:00:00'), (1, 43, 11, 33, 3, 1, '2026-12-08 09:00:00'),"
    "(2, 65, 1, 1, 1, 1, '2026-12-06 10:01:00');"
    "WITH due(date) AS (VALUES ('2026-12-06 10:25:00'), ('2026-12-06 11:00:00'), "
    "('2026-12-06 12:30:00'), ('2026-12-07 10:00:00'), ('2026-12-09 09:00:00'), "
    "('2026-12-19 23:59:59'), ('2026-12-20 00:00:00'), ('soon')) "
    "INSERT INTO Passages (startbook, startchapter, startverse, endbook, endchapter, endverse, "
    "username, UserID, scheduledate, numVersestoAsk, numVerses, passagelevel) "
    "SELECT 'Ruth', 1, 1, 'Ruth', 1, 2, 'Ann', 1, date, 3, 2, 7 FROM due;"
    "INSERT INTO PassageVerses (passageID, VerseBook, verseChapter, VerseNum, verseLevel, "
    "ScheduleDate) SELECT id, 8, 1, 1, 2, '2026-12-01 00:00:00' FROM Passages "
    "WHERE startbook = 'Ruth'";
} // namespace

// The progress window puts the figures into words, and reads them afresh for each user; it
// opens beside the window that called it and closes from the keyboard.
class TestProgressWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void showsTheFiguresInWords();
    void headingNamesTheBible();
    void besideTheCaller_data();
    void besideTheCaller();
};

void TestProgressWindow::showsTheFiguresInWords() {
    WindowFixture fixture{TestDatabase()}; // at 2026-12-06 10:00:00
    fixture.test.db().execute(twoLearners);
    QStringList table{"John 11:33 - John 11:36 | learning, 3 of 4 verses in | 1 | now",
                      "Jude 1:1 - Jude 1:1 | learning, 1 of 1 verse in | 1 | in 1 minute"};
    for (const char *wait : {"in 25 minutes", "in 1 hour", "in 2 hours", "in 1 day", "in 3 days",
                             "in 13 days", "in 14 days", "soon"})
        table << "Ruth 1:1 - Ruth 1:2 | whole passage | 7 | " + QString::fromLatin1(wait);
    ProgressWindow window(fixture.context());
    window.showUser("Ann", 1);
    window.show();
    // Due now and falling due: what the quiz asks, from when it asks it.
    QCOMPARE(shown(window),
             QStringList({"10 3 9 1 2 1 ", "6 1 0 1 0 0 0 0 0 0 0 0 0 1 ",
                          "5 1 0 1 0 0 0 0 0 0 0 0 0 1 ", "2 ", "1 ", "", "0 8 1 "}) +
                 table);
    // Read again, a table sorted by level moves a passage whose level changed.
    window.findChild<QTableView *>("passageTable")->sortByColumn(2, Qt::AscendingOrder);
    fixture.test.db().execute("UPDATE Passages SET passagelevel = 9 WHERE id = 1");
    window.refresh();
    QCOMPARE(shown(window).last(),
             "John 11:33 - John 11:36 | learning, 3 of 4 verses in | 9 | now");
    window.showUser("Bob", 2);
    QCOMPARE(shown(window).join(u'/'), "1 0 0 0 0 0 ///////Jude 1:1 - Jude 1:2 | learning, 0 of 2 "
                                       "verses in | 1 | nothing to ask");
    QCOMPARE(fixture.dialogs.errors, QStringList());
    for (const char *close : {"Escape", "Ctrl+W"}) {
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTest::keySequence(&window, QKeySequence(close));
        QVERIFY(!window.isVisible());
    }
}

void TestProgressWindow::besideTheCaller_data() {
    QTest::addColumn<QRect>("caller");
    QTest::addColumn<QSize>("wanted");
    QTest::addColumn<QRect>("area");
    QTest::addColumn<QRect>("placed");
    const auto row = [](const char *name, QRect caller, QSize wanted, QRect area, QRect placed) {
        QTest::newRow(name) << caller << wanted << area << placed;
    };
    const QRect screen(0, 0, 1600, 1000);
    row("room to the right", {0, 0, 800, 600}, {700, 500}, screen, {800, 0, 700, 500});
    row("more room to the left", {900, 100, 700, 600}, {700, 500}, screen, {200, 100, 700, 500});
    row("narrowed to the room", {0, 0, 1000, 600}, {1200, 760}, screen, {1000, 0, 600, 760});
    row("a second screen, held above its foot", {1700, 700, 800, 200}, {700, 500},
        {1600, 0, 1600, 1000}, {2500, 500, 700, 500});
    row("1600x1200 at scale 2: over it, within the area", {0, 0, 805, 620}, {1200, 760},
        {0, 0, 800, 600}, {0, 0, 800, 600});
}

void TestProgressWindow::besideTheCaller() {
    QFETCH(QRect, caller);
    QFETCH(QSize, wanted);
    QFETCH(QRect, area);
    QTEST(besideRect(caller, wanted, 430, area), "placed");
}

void TestProgressWindow::headingNamesTheBible() {
    WindowFixture fixture{TestDatabase()};
    const auto heading = [&] {
        return ProgressWindow(fixture.context()).findChild<QLabel *>("bibleName")->text();
    };
    QCOMPARE(heading(), ""); // a database that names no Bible
    fixture.test.db().execute(
        "INSERT INTO Bible VALUES ('engKJV2006eb', 'KJV', 'King James Version', 'en')");
    QCOMPARE(heading(), "King James Version (KJV)");
}

VERSEKEEP_TEST_MAIN(TestProgressWindow, QApplication)
#include "test_progresswindow.moc"
