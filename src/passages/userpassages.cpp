#include "userpassages.h"

#include "application.h"
#include "controls.h"
#include "database.h"
#include "dialogs.h"
#include "filllist.h"
#include "passagestore.h"
#include "users.h"

#include <QShowEvent>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalBlocker>

namespace {
QString chosenText(const QListWidget *list) {
    return selectedId(list) >= 0 ? list->currentItem()->text() : QString();
}

QString chosenText(const QComboBox *combo) {
    return combo->currentIndex() >= 0 ? combo->currentText() : QString();
}

// "1" up to the last number; nothing chosen.
void fillNumbers(QComboBox *combo, int last) {
    const QSignalBlocker blocker(combo);
    combo->clear();
    for (int number = 1; number <= last; ++number)
        combo->addItem(QString::number(number));
    combo->setCurrentIndex(-1);
}

void clearNumbers(QComboBox *combo) { fillNumbers(combo, 0); }

const QString invalidPassageText = QStringLiteral(
    "Each passage must contain a starting verse and an ending verse greater than the starting "
    "verse.");
} // namespace

// 11280 by 9210 twips outside, less the frame, caption and menu bar.
UserPassages::UserPassages(Application &app)
    : ProgramWindow(app, "UserPassages", QStringLiteral("Passages"), 11160, 8520) {
    QWidget *client = this->client();

    Uname = label(client, "Uname", QStringLiteral("Name Goes here"), 240, 360, 5655, 495);
    Uname->setFont(arial(14.25));
    label(client, "Label1", QStringLiteral("Passages Learning"), 120, 1320, 2655, 255);
    PassageList = control<QListWidget>(client, "PassageList", 120, 1680, 3975, 5715);
    label(client, "Label2", QStringLiteral("Start Book"), 4920, 1320, 2175, 255);
    startbook = control<QListWidget>(client, "startbook", 4920, 1680, 2535, 4545);
    label(client, "Label3", QStringLiteral("End Book"), 7920, 1320, 2415, 255);
    endbook = control<QListWidget>(client, "endbook", 7920, 1680, 2535, 4545);
    startChapter = control<QComboBox>(client, "startChapter", 4920, 6300, 735, 315);
    label(client, "Label4", QStringLiteral(":"), 5650, 6360, 135, 255)->setFont(arial(12, true));
    startVerse = control<QComboBox>(client, "startVerse", 5760, 6300, 735, 315);
    endChapter = control<QComboBox>(client, "endChapter", 7920, 6300, 735, 315);
    label(client, "Label5", QStringLiteral(":"), 8650, 6360, 135, 255)->setFont(arial(12, true));
    endVerse = control<QComboBox>(client, "endVerse", 8760, 6300, 735, 315);
    PassageLabel = label(client, "PassageLabel", QString(), 5040, 7080, 5535, 375);
    PassageLabel->setFont(arial(12));
    Memorize = button(client, "Memorize", QStringLiteral("Add This Passage To Memorize"), 5040,
                      7560, 5655, 435);
    StartLearning =
        button(client, "StartLearning", QStringLiteral("Start Learning"), 840, 7680, 2415, 615);

    for (QComboBox *combo : {startChapter, startVerse, endChapter, endVerse})
        combo->setMaxVisibleItems(20);
    QWidget *const tabOrder[] = {PassageList, startbook, startChapter, startVerse, endbook,
                                 endChapter,  endVerse,  Memorize,     StartLearning};
    for (size_t i = 1; i < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);

    QMenu *pmenuFile = namedMenu(menuBar(), "pmenuFile", QStringLiteral("&File"));
    QAction *pMenuExit = namedAction(pmenuFile, "pMenuExit", QStringLiteral("E&xit"));
    QMenu *pMenuView = namedMenu(menuBar(), "pMenuView", QStringLiteral("&View"));
    QAction *pMenuUsers = namedAction(pMenuView, "pMenuUsers", QStringLiteral("&Users"));
    QMenu *pmenuHelp = namedMenu(menuBar(), "pmenuHelp", QStringLiteral("&Help"));
    namedAction(pmenuHelp, "pHelp", QStringLiteral("&Help"));
    namedAction(pmenuHelp, "pMenuAbout", QStringLiteral("&About Versekeep"));

    connect(pMenuExit, &QAction::triggered, this, [this] { app_.ExitProgram(); });
    connect(pMenuUsers, &QAction::triggered, this, [this] {
        hide();
        app_.users()->show();
    });
    connect(Memorize, &QPushButton::clicked, this, &UserPassages::Memorize_Click);
    connect(startbook, &QListWidget::itemSelectionChanged, this,
            [this] { bookChosen(startbook, startChapter, startVerse); });
    connect(endbook, &QListWidget::itemSelectionChanged, this,
            [this] { bookChosen(endbook, endChapter, endVerse); });
    connect(startChapter, &QComboBox::activated, this,
            [this] { chapterChosen(startbook, startChapter, startVerse); });
    connect(endChapter, &QComboBox::activated, this,
            [this] { chapterChosen(endbook, endChapter, endVerse); });
    for (QComboBox *verse : {startVerse, endVerse})
        connect(verse, &QComboBox::activated, this, [this, verse] {
            if (verse->currentIndex() >= 0)
                ShowPassageLabel();
        });
    for (QListWidget *list : {PassageList, startbook, endbook})
        keepCurrentChosen(list);
    PassageList->installEventFilter(this);

    fixSize();
}

void UserPassages::SetCurrentUser(const QString &username, qint64 userID) {
    CurrentUser = username;
    CurrentUserID = userID;
    PassageListRequery();
    Uname->setText(CurrentUser);
}

template <typename Work> bool UserPassages::onDatabase(Work &&work) {
    if (app_.dialogs().attempt(std::forward<Work>(work)))
        return true;
    app_.users()->show();
    hide();
    return false;
}

void UserPassages::PassageListRequery() {
    onDatabase([this] {
        Statement rows(app_.dbConn(), passageListSql);
        rows.bindAll(CurrentUserID);
        FillList(PassageList, rows);
    });
}

void UserPassages::DeletePassage() {
    const qint64 id = selectedId(PassageList);
    if (id >= 0 && onDatabase([&] { deletePassage(app_.dbConn(), id); }))
        PassageListRequery();
}

PassageRange UserPassages::chosenRange() const {
    const auto point = [](const QListWidget *book, const QComboBox *chapter,
                          const QComboBox *verse) {
        return VersePoint{selectedId(book), chosenText(book), chosenText(chapter).toInt(),
                          chosenText(verse).toInt()};
    };
    return {point(startbook, startChapter, startVerse), point(endbook, endChapter, endVerse)};
}

void UserPassages::Memorize_Click() {
    if (!ValidPassage()) {
        app_.dialogs().information(QStringLiteral("Invalid Passage"), invalidPassageText);
        PassageListRequery();
        return;
    }
    if (onDatabase([this] {
            addPassage(app_.dbConn(), app_.clock(), chosenRange(), CurrentUser, CurrentUserID);
        }))
        PassageListRequery();
}

int UserPassages::GetLastChapter(qint64 book) {
    int last = 0;
    onDatabase([&] { last = lastChapter(app_.dbConn(), book); });
    return last;
}

int UserPassages::GetLastVerse(qint64 book, int chapter) {
    int last = 0;
    onDatabase([&] { last = lastVerse(app_.dbConn(), book, chapter); });
    return last;
}

bool UserPassages::ValidPassage() const {
    for (const QListWidget *book : {startbook, endbook})
        if (selectedId(book) < 0)
            return false;
    for (const QComboBox *combo : {startChapter, startVerse, endChapter, endVerse})
        if (combo->currentIndex() < 0)
            return false;
    return chosenRange().isOrdered();
}

void UserPassages::ShowPassageLabel() {
    PassageLabel->setText(chosenText(startbook) + ' ' + chosenText(startChapter) + ':' +
                          chosenText(startVerse) + QStringLiteral(" - ") + chosenText(endbook) +
                          ' ' + chosenText(endChapter) + ':' + chosenText(endVerse));
    QPalette palette = PassageLabel->palette();
    palette.setColor(QPalette::WindowText, ValidPassage() ? QColor(0, 0, 0) : QColor(250, 15, 0));
    PassageLabel->setPalette(palette);
}

void UserPassages::bookChosen(QListWidget *book, QComboBox *chapter, QComboBox *verse) {
    const qint64 number = selectedId(book);
    if (number < 0)
        return;
    fillNumbers(chapter, GetLastChapter(number));
    clearNumbers(verse);
    ShowPassageLabel();
}

void UserPassages::chapterChosen(QListWidget *book, QComboBox *chapter, QComboBox *verse) {
    const qint64 number = selectedId(book);
    const QString chapterText = chosenText(chapter).trimmed();
    if (number >= 0 && !chapterText.isEmpty())
        fillNumbers(verse, GetLastVerse(number, chapterText.toInt()));
    ShowPassageLabel();
}

void UserPassages::fillBookLists() {
    onDatabase([this] {
        for (QListWidget *list : {startbook, endbook}) {
            const QSignalBlocker blocker(list);
            Statement rows(app_.dbConn(), bookListSql);
            FillList(list, rows);
        }
        PassageLabel->clear();
    });
}

void UserPassages::showEvent(QShowEvent *event) {
    ProgramWindow::showEvent(event);
    // Coming here from another window of the program; not after a message box.
    if (!event->spontaneous())
        fillBookLists();
}

bool UserPassages::eventFilter(QObject *watched, QEvent *event) {
    if (watched == PassageList && isPlainDeleteRelease(event) && selectedId(PassageList) >= 0 &&
        app_.dialogs().confirm(QStringLiteral("Are you sure you want to delete this passage?")))
        DeletePassage();
    return ProgramWindow::eventFilter(watched, event);
}
