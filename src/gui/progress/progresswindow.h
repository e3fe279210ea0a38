#pragma once

#include "gui/windowcontext.h"
#include "store/progressreport.h"

#include <QWidget>

class QBarCategoryAxis;
class QBarSet;
class QLabel;
class QSortFilterProxyModel;
class QTimer;
class QValueAxis;
class PassageRows;

// One learner's progress: the summary, the forecast, the ladder and the passages, as
// progressReport gives them, in words of its own. Not modal; closing it (File, Close, Ctrl+W
// or Escape) only hides it.
class ProgressWindow : public QWidget {
    Q_OBJECT
public:
    explicit ProgressWindow(const WindowContext &context);

    // Shows this user's figures, read afresh.
    void showUser(const QString &userName, qint64 userId);
    // Shows the figures of the user shown again, reading what was written since.
    void refresh();
    // The same a little later, once for any number of calls meanwhile: after a page is
    // judged, the quiz's next page is drawn first.
    void refreshSoon();
    // The same after a write that tells what it wrote: of all the rows, only those are read.
    void refreshSoon(const PassageWritten &written);
    // Beside the window it was called from, on that window's screen and within its available
    // area; centred on the screen without one.
    void placeBeside(const QWidget *caller);

private:
    static constexpr QSize wantedSize{1200, 760};

    void draw(const ProgressReport &report);

    QLabel *Uname;
    QLabel *bibleName;
    QLabel *passageCount;
    QLabel *versesLearning;
    QLabel *versesMatured;
    QLabel *versesWaiting;
    QLabel *versesDue;
    QLabel *passagesDue;
    WindowContext context_;
    ProgressReports reports_;
    QTimer *refreshTimer_;
    QBarSet *forecastVerses_;
    QBarSet *forecastPassages_;
    QBarCategoryAxis *forecastDays_;
    QValueAxis *forecastCount_;
    QList<QBarSet *> ladderSets_; // the three word-size stages of level 1, then levels 2 up
    QValueAxis *ladderCount_;
    PassageRows *passageRows_;
    QSortFilterProxyModel *sortedRows_;
};

// Where a window of the wanted size goes beside the caller, frames included: to its right,
// else to its left when that side has more room, narrowed to the room there but to no less
// than the narrowest; always within the area, over the caller if there is no other room.
QRect besideRect(const QRect &caller, QSize wanted, int narrowest, const QRect &area);
