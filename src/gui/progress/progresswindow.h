#pragma once

#include "gui/windowcontext.h"
#include "store/progressreport.h"

#include <QWidget>

class QBarCategoryAxis;
class QBarSet;
class QChartView;
class QLabel;
class QStandardItemModel;
class QTableView;
class QValueAxis;

// One learner's progress: the summary, the forecast, the ladder and the passages, as
// progressReport gives them. Not modal; closing it only hides it.
class ProgressWindow : public QWidget {
    Q_OBJECT
public:
    explicit ProgressWindow(const WindowContext &context);

    // Shows this user's figures, read afresh.
    void showUser(const QString &userName, qint64 userId);
    // Reads the figures of the user shown again.
    void refresh();

    QLabel *Uname;
    QLabel *passageCount;
    QLabel *versesLearning;
    QLabel *versesMatured;
    QLabel *versesWaiting;
    QLabel *versesDue;
    QLabel *passagesDue;
    QChartView *forecastChart;
    QChartView *ladderChart;
    QTableView *passageTable;

private:
    void draw(const ProgressReport &report);

    WindowContext context_;
    qint64 userId_ = 0;
    QBarSet *forecastVerses_;
    QBarSet *forecastPassages_;
    QBarCategoryAxis *forecastDays_;
    QValueAxis *forecastCount_;
    QList<QBarSet *> ladderSets_; // the three word-size stages of level 1, then levels 2 up
    QValueAxis *ladderCount_;
    QStandardItemModel *passageRows_;
};
