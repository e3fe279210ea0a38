#include "store/passages.h"
#include "gui/progress/progresswindow.h"
#include "support/windowfixture.h"

#include <QAbstractBarSeries>
#include <QApplication>
#include <QBarSet>
#include <QChartView>
#include <QLabel>
#include <QTableView>

namespace {
// The summary, the bars (the ladder's sets: level 1's stages, then levels 2 up) and the
// table, in text, as the window shows them and from the core.
void compareWithCore(const ProgressWindow *window, const ProgressReport &r) {
    QStringList shown, core;
    for (const QLabel *label : {window->passageCount, window->versesLearning, window->versesMatured,
                                window->versesWaiting, window->versesDue, window->passagesDue})
        shown << label->text();
    for (const QChartView *chart : {window->forecastChart, window->ladderChart})
        for (const QBarSet *set :
             qobject_cast<QAbstractBarSeries *>(chart->chart()->series().value(0))->barSets())
            for (int i = 0; i < set->count(); ++i)
                shown << QString::number(set->at(i));
    const QAbstractItemModel *rows = window->passageTable->model();
    for (int cell = 0; cell < rows->rowCount() * 4; ++cell)
        shown << rows->index(cell / 4, cell % 4).data().toString();

    for (int count : {int(r.passages.size()), r.versesLearning, r.versesMatured, r.versesWaiting,
                      r.versesDue, r.passagesDue})
        core << QString::number(count);
    for (bool verses : {true, false})
        for (const ForecastDay &day : r.forecast)
            core << QString::number(verses ? day.verses : day.passages);
    for (int count : r.levelOneByStage)
        core << QString::number(count) << QStringList(ProgressReport::topVerseLevel - 1, "0");
    core << "0";
    for (int level = 1; level < ProgressReport::topVerseLevel; ++level)
        core << QString::number(r.versesByLevel[level]);
    for (const PassageProgress &p : r.passages)
        core << p.range << p.phase << QString::number(p.level) << p.nextReviewWords;
    QCOMPARE(shown, core);
}
} // namespace

// The progress window shows the core's figures, and reads them afresh.
class TestProgressWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void showsTheCoresFigures();
};

void TestProgressWindow::showsTheCoresFigures() {
    WindowFixture fixture(TestDatabase::withBible());
    Database &db = fixture.test.db();
    db.execute("INSERT INTO Users (id, Name) VALUES (1, 'Ann'), (2, 'Bob')");
    addPassage(db, fixture.clock, {{43, "John", 11, 33}, {43, "John", 11, 36}}, "Ann", 1);
    addPassage(db, fixture.clock, {{19, "Psalms", 23, 1}, {19, "Psalms", 23, 6}}, "Ann", 1);
    addPassage(db, fixture.clock, {{65, "Jude", 1, 1}, {65, "Jude", 1, 2}}, "Bob", 2);
    db.execute("UPDATE Passages SET numVersestoAsk = 3 WHERE id = 1;"
               "UPDATE PassageVerses SET verseLevel = 3, ScheduleDate = '2026-12-08 09:00:00' "
               "WHERE id = 1; UPDATE PassageVerses SET WordSizeLevel = 3 WHERE id = 3");
    ProgressWindow window(fixture.context());
    window.showUser("Ann", 1);
    window.show();
    compareWithCore(&window, progressReport(db, fixture.clock, 1));
    window.showUser("Bob", 2);
    compareWithCore(&window, progressReport(db, fixture.clock, 2));
    QCOMPARE(fixture.dialogs.errors, QStringList());
}

VERSEKEEP_TEST_MAIN(TestProgressWindow, QApplication)
#include "test_progresswindow.moc"
