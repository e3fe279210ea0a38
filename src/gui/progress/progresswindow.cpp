#include "gui/progress/progresswindow.h"

#include "bible/versetable.h"
#include "gui/controls.h"
#include "gui/dialogs.h"

#include <QAbstractTableModel>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChartView>
#include <QFormLayout>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QSortFilterProxyModel>
#include <QStackedBarSeries>
#include <QStyle>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <QValueAxis>

namespace {
// Okabe and Ito's colours, told apart with every common kind of colour blindness; the
// stages of level 1 also darken as they climb, so they part even in grey.
const QColor blue(0x00, 0x72, 0xb2);
const QColor orange(0xe6, 0x9f, 0x00);
const QColor yellow(0xf0, 0xe4, 0x42);
const QColor vermillion(0xd5, 0x5e, 0x00);

enum Column { RangeColumn, PhaseColumn, LevelColumn, NextReviewColumn };
constexpr int sortKey = Qt::UserRole;

QBarSet *barSet(const QString &caption, const QColor &colour) {
    auto *set = new QBarSet(caption);
    set->setColor(colour);
    set->setBorderColor(Qt::black);
    return set;
}

// Bars over named categories, counted from zero; each bar tells its count under the mouse.
QChartView *chartView(QWidget *parent, const char *name, const QString &title,
                      QAbstractBarSeries *series, QBarCategoryAxis *categories, QValueAxis *count) {
    auto *chart = new QChart;
    chart->setTitle(title);
    chart->addSeries(series);
    chart->addAxis(categories, Qt::AlignBottom);
    chart->addAxis(count, Qt::AlignLeft);
    series->attachAxis(categories);
    series->attachAxis(count);
    count->setLabelFormat(QStringLiteral("%d"));
    chart->setTitleFont(arial(9, true));
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->legend()->setFont(defaultControlFont());
    for (QAbstractAxis *axis :
         {static_cast<QAbstractAxis *>(categories), static_cast<QAbstractAxis *>(count)}) {
        axis->setLabelsFont(arial(7.5));
        axis->setTitleFont(defaultControlFont());
    }
    chart->setMargins(QMargins(4, 4, 4, 4));
    auto *view = new QChartView(chart, parent);
    view->setObjectName(QString::fromLatin1(name));
    view->setAccessibleName(title);
    view->setRenderHint(QPainter::Antialiasing);
    for (QBarSet *set : series->barSets())
        QObject::connect(
            set, &QBarSet::hovered, view, [view, set, categories](bool over, int index) {
                // A day's label breaks its line; the tip keeps to one.
                const QString category =
                    categories->at(index).replace(QLatin1String("<br>"), QLatin1String(" "));
                view->setToolTip(over ? QStringLiteral("%1, %2: %3")
                                            .arg(set->label(), category)
                                            .arg(set->at(index))
                                      : QString());
            });
    return view;
}

// Only the bars that changed: a chart lays out again what changed, but builds every bar anew
// for a set filled afresh.
void setValues(QBarSet *set, const QList<qreal> &values) {
    if (set->count() != values.size()) {
        set->remove(0, set->count());
        set->append(values);
        return;
    }
    for (int at = 0; at < values.size(); ++at)
        if (set->at(at) != values[at])
            set->replace(at, values[at]);
}

// From zero to at least the highest count in four steps of 1, 2 or 5 times a power of ten,
// so that every tick is a whole number.
void fitCounts(QValueAxis *axis, int highest) {
    int step = 1;
    for (int power = 1; step * 4 < highest; power *= 10)
        for (int times : {1, 2, 5})
            if ((step = times * power) * 4 >= highest)
                break;
    axis->setRange(0, step * 4);
    axis->setTickCount(5);
}

QString phaseText(const PassageProgress &passage) {
    if (passage.wholePassage)
        return ProgressWindow::tr("whole passage");
    if (passage.verses == 1)
        return ProgressWindow::tr("learning, %1 of 1 verse in").arg(passage.versesIn);
    return ProgressWindow::tr("learning, %1 of %2 verses in")
        .arg(passage.versesIn)
        .arg(passage.verses);
}

QString waitText(const PassageProgress &passage) {
    if (passage.askableFrom.isEmpty())
        return ProgressWindow::tr("nothing to ask");
    const qint64 count = passage.wait.count;
    switch (passage.wait.unit) {
    case Wait::Due:
        return ProgressWindow::tr("now");
    case Wait::Minutes:
        return count == 1 ? ProgressWindow::tr("in 1 minute")
                          : ProgressWindow::tr("in %1 minutes").arg(count);
    case Wait::Hours:
        return count == 1 ? ProgressWindow::tr("in 1 hour")
                          : ProgressWindow::tr("in %1 hours").arg(count);
    case Wait::Days:
        return count == 1 ? ProgressWindow::tr("in 1 day")
                          : ProgressWindow::tr("in %1 days").arg(count);
    case Wait::Unreadable:
        break;
    }
    return passage.askableFrom;
}
} // namespace

// The passages of a report as the table shows them, each cell's text made when asked: tens of
// thousands of rows cost what the rows on show cost.
class PassageRows : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setPassages(const QList<PassageProgress> &passages) {
        const bool same = passages.size() == passages_.size() &&
                          std::equal(passages.begin(), passages.end(), passages_.begin(),
                                     [](const PassageProgress &a, const PassageProgress &b) {
                                         return a.id == b.id;
                                     });
        if (!same) {
            beginResetModel();
            passages_ = passages;
            return endResetModel();
        }
        // The same passages: the rows that changed are told, so the table keeps its place,
        // its selection and its order, which only those rows may change.
        const QList<PassageProgress> before = std::exchange(passages_, passages);
        for (int row = 0; row < passages_.size(); ++row)
            if (before[row] != passages_[row])
                Q_EMIT dataChanged(index(row, 0), index(row, NextReviewColumn));
    }

    int rowCount(const QModelIndex &parent) const override {
        return parent.isValid() ? 0 : int(passages_.size());
    }
    int columnCount(const QModelIndex &parent) const override { return parent.isValid() ? 0 : 4; }

    QVariant data(const QModelIndex &index, int role) const override {
        if (!index.isValid())
            return {};
        const PassageProgress &passage = passages_[index.row()];
        const auto column = Column(index.column());
        if (role == Qt::DisplayRole) {
            switch (column) {
            case RangeColumn:
                return passage.range;
            case PhaseColumn:
                return phaseText(passage);
            case LevelColumn:
                return QString::number(passage.level);
            case NextReviewColumn:
                return waitText(passage);
            }
        }
        if (role == Qt::ToolTipRole && column == NextReviewColumn)
            return passage.askableFrom;
        if (role != sortKey)
            return {};
        switch (column) {
        case RangeColumn:
            return passage.readingOrder;
        case PhaseColumn:
            return passage.wholePassage ? 2.0
                                        : double(passage.versesIn) / std::max(passage.verses, 1);
        case LevelColumn:
            return passage.level;
        case NextReviewColumn: // never askable sorts last
            return passage.askableFrom.isEmpty() ? QStringLiteral("~") : passage.askableFrom;
        }
        return {};
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return QAbstractTableModel::headerData(section, orientation, role);
        switch (Column(section)) {
        case RangeColumn:
            return ProgressWindow::tr("Passage");
        case PhaseColumn:
            return ProgressWindow::tr("Phase");
        case LevelColumn:
            return ProgressWindow::tr("Level");
        case NextReviewColumn:
            return ProgressWindow::tr("Next review");
        }
        return {};
    }

private:
    QList<PassageProgress> passages_;
};

ProgressWindow::ProgressWindow(const WindowContext &context)
    : QWidget(nullptr, Qt::Window), context_(context), reports_(context.db) {
    setObjectName(QStringLiteral("Progress"));
    setWindowTitle(tr("Progress"));
    setAttribute(Qt::WA_QuitOnClose, false);
    setFont(defaultControlFont());

    Uname = new QLabel(this);
    Uname->setObjectName(QStringLiteral("Uname"));
    Uname->setFont(arial(14.25));
    Uname->setTextFormat(Qt::PlainText); // a name is shown as typed, never as markup
    bibleName = new QLabel(this);
    bibleName->setObjectName(QStringLiteral("bibleName"));
    bibleName->setTextFormat(Qt::PlainText);
    bibleName->setAlignment(Qt::AlignRight | Qt::AlignBottom);
    context_.dialogs.attempt([this] { bibleName->setText(translationName(context_.db)); });

    auto *summary = new QFormLayout;
    const auto count = [&](const char *name, const QString &caption) {
        auto *value = new QLabel(this);
        value->setObjectName(QString::fromLatin1(name));
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        summary->addRow(caption, value);
        return value;
    };
    passageCount = count("passageCount", tr("Passages:"));
    versesLearning = count("versesLearning", tr("Verses let in, still learning:"));
    versesMatured = count("versesMatured", tr("Verses matured (level 2 or more):"));
    versesWaiting = count("versesWaiting", tr("Verses not yet let in:"));
    versesDue = count("versesDue", tr("Verses due now:"));
    passagesDue = count("passagesDue", tr("Passages due now:"));

    auto *forecast = new QBarSeries;
    forecastVerses_ = barSet(tr("Verses"), blue);
    forecastPassages_ = barSet(tr("Passages"), orange);
    forecast->append({forecastVerses_, forecastPassages_});
    forecastDays_ = new QBarCategoryAxis;
    forecastCount_ = new QValueAxis;
    QChartView *forecastChart =
        chartView(this, "forecastChart", tr("Falling due (today with all overdue)"), forecast,
                  forecastDays_, forecastCount_);

    auto *ladder = new QStackedBarSeries;
    ladderSets_ = {barSet(tr("1: just begun"), yellow), barSet(tr("1: halfway"), orange),
                   barSet(tr("1: nearly all words"), vermillion), barSet(tr("2 and up"), blue)};
    ladder->append(ladderSets_);
    auto *levels = new QBarCategoryAxis;
    for (int level = 1; level <= ProgressReport::topVerseLevel; ++level)
        levels->append(QString::number(level));
    levels->setTitleText(tr("Verse level"));
    ladderCount_ = new QValueAxis;
    QChartView *ladderChart =
        chartView(this, "ladderChart", tr("Verses on the ladder"), ladder, levels, ladderCount_);

    passageRows_ = new PassageRows(this);
    sortedRows_ = new QSortFilterProxyModel(this);
    sortedRows_->setSourceModel(passageRows_);
    sortedRows_->setSortRole(sortKey);
    auto *passageTable = new QTableView(this);
    passageTable->setObjectName(QStringLiteral("passageTable"));
    passageTable->setModel(sortedRows_);
    passageTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    passageTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    passageTable->verticalHeader()->hide();
    passageTable->horizontalHeader()->setStretchLastSection(true);
    passageTable->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder); // as added
    passageTable->setSortingEnabled(true);
    passageTable->setColumnWidth(RangeColumn, 165);
    passageTable->setColumnWidth(PhaseColumn, 150);
    passageTable->setColumnWidth(LevelColumn, 40);

    auto *grid = new QGridLayout(this);
    auto *menus = new QMenuBar(this);
    QMenu *file = menus->addMenu(tr("&File"));
    file->setObjectName(QStringLiteral("pMenuFile"));
    QAction *close = file->addAction(tr("&Close"), this, &QWidget::close);
    close->setObjectName(QStringLiteral("pMenuClose"));
    close->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_W), QKeySequence(Qt::Key_Escape)});
    addAction(close);
    grid->setMenuBar(menus);
    grid->addWidget(Uname, 0, 0);
    grid->addWidget(bibleName, 0, 1);
    auto *left = new QVBoxLayout;
    left->addLayout(summary);
    auto *note =
        new QLabel(tr("At verse level 1 a verse climbs one step for each length of word in it, "
                      "blanking shorter words as it goes: \"just begun\" is up to a third of "
                      "its steps, \"halfway\" up to two thirds, \"nearly all words\" beyond. "
                      "Past the last step every word is blanked and the verse is at level 2."),
                   this);
    note->setWordWrap(true);
    left->addWidget(note);
    left->addStretch();
    grid->addLayout(left, 1, 0);
    grid->addWidget(forecastChart, 1, 1);
    grid->addWidget(passageTable, 2, 0);
    grid->addWidget(ladderChart, 2, 1);
    grid->setColumnStretch(0, 2);
    grid->setColumnStretch(1, 3);
    grid->setRowStretch(1, 1);
    grid->setRowStretch(2, 1);
    for (QWidget *part :
         {static_cast<QWidget *>(forecastChart), static_cast<QWidget *>(ladderChart),
          static_cast<QWidget *>(passageTable)})
        part->setMinimumSize(200, 150);
    refreshTimer_ = new QTimer(this);
    refreshTimer_->setSingleShot(true);
    refreshTimer_->setInterval(100);
    connect(refreshTimer_, &QTimer::timeout, this, &ProgressWindow::refresh);
    resize(wantedSize);
}

void ProgressWindow::placeBeside(const QWidget *caller) {
    const QRect area = (caller ? caller->screen() : screen())->availableGeometry();
    if (!caller)
        return setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter,
                                               wantedSize.boundedTo(area.size()), area));
    // The frame is not known before the first showing: the caller's is the best guess.
    const QRect outer = caller->frameGeometry(), inner = caller->geometry();
    const QMargins frame(inner.left() - outer.left(), inner.top() - outer.top(),
                         outer.right() - inner.right(), outer.bottom() - inner.bottom());
    setGeometry(
        besideRect(outer, wantedSize.grownBy(frame), minimumSizeHint().grownBy(frame).width(), area)
            .marginsRemoved(frame));
}

QRect besideRect(const QRect &caller, QSize wanted, int narrowest, const QRect &area) {
    QSize size = wanted.boundedTo(area.size());
    const int right = area.right() - caller.right();
    const int left = caller.left() - area.left();
    const bool onLeft = right < size.width() && left > right;
    const int room = onLeft ? left : right;
    if (room >= std::min(narrowest, size.width()))
        size.setWidth(std::min(size.width(), room));
    QRect placed(QPoint(onLeft ? caller.left() - size.width() : caller.right() + 1, caller.top()),
                 size);
    // Within the area, over the caller where there is no other room.
    placed.moveLeft(std::clamp(placed.left(), area.left(), area.right() + 1 - size.width()));
    placed.moveTop(std::clamp(placed.top(), area.top(), area.bottom() + 1 - size.height()));
    return placed;
}

void ProgressWindow::showUser(const QString &userName, qint64 userId) {
    Uname->setText(userName);
    refreshTimer_->stop();
    ProgressReport report;
    if (context_.dialogs.attempt([&] { report = reports_(context_.clock, userId); }))
        draw(report);
}

void ProgressWindow::refreshSoon() {
    if (!refreshTimer_->isActive())
        refreshTimer_->start();
}

void ProgressWindow::refreshSoon(const PassageWritten &written) {
    reports_.written(written);
    refreshSoon();
}

void ProgressWindow::refresh() {
    refreshTimer_->stop();
    ProgressReport report;
    if (context_.dialogs.attempt([&] { report = reports_.again(context_.clock); }))
        draw(report);
}

void ProgressWindow::draw(const ProgressReport &report) {
    passageCount->setNum(int(report.passages.size()));
    versesLearning->setNum(report.versesLearning);
    versesMatured->setNum(report.versesMatured);
    versesWaiting->setNum(report.versesWaiting);
    versesDue->setNum(report.versesDue);
    passagesDue->setNum(report.passagesDue);

    QStringList days;
    QList<qreal> verses;
    QList<qreal> passages;
    for (const ForecastDay &day : report.forecast) {
        days << (days.isEmpty() ? tr("Today") : day.date.toString(u"ddd'<br>'d"));
        verses << day.verses;
        passages << day.passages;
    }
    if (forecastDays_->categories() != days)
        forecastDays_->setCategories(days);
    setValues(forecastVerses_, verses);
    setValues(forecastPassages_, passages);
    fitCounts(forecastCount_, int(std::max(*std::max_element(verses.begin(), verses.end()),
                                           *std::max_element(passages.begin(), passages.end()))));

    // Level 1 in its stages, stacked; every higher level in one colour.
    QList<qreal> stages[wordSizeStages + 1];
    for (QList<qreal> &values : stages)
        values.fill(0, ProgressReport::topVerseLevel);
    for (int stage = 0; stage < wordSizeStages; ++stage)
        stages[stage][0] = report.levelOneByStage[stage];
    for (int level = 1; level < ProgressReport::topVerseLevel; ++level)
        stages[wordSizeStages][level] = report.versesByLevel[level];
    for (int stage = 0; stage <= wordSizeStages; ++stage)
        setValues(ladderSets_[stage], stages[stage]);
    fitCounts(ladderCount_,
              *std::max_element(report.versesByLevel.begin(), report.versesByLevel.end()));

    passageRows_->setPassages(report.passages);
}
