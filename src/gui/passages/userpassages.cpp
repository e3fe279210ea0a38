#include "gui/passages/userpassages.h"

#include "bible/versetable.h"
#include "gui/controls.h"
#include "gui/dialogs.h"
#include "gui/filllist.h"
#include "store/passages.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QSignalBlocker>

namespace {
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
} // namespace

// 11280 by 9210 twips outside, less the frame, caption and menu bar.
UserPassages::UserPassages(const WindowContext &context, Navigation &navigation)
    : ProgramWindow(context, navigation, "UserPassages", tr("Passages"), 11160, 8520) {
    QWidget *client = this->client();

    Uname = label(client, "Uname", tr("Name Goes here"), 240, 360, 5655, 495);
    Uname->setFont(arial(14.25));
    Uname->setTextFormat(Qt::PlainText); // a name is shown as typed, never as markup
    label(client, "Label1", tr("Passages Learning"), 120, 1320, 2655, 255);
    PassageList = control<QListWidget>(client, "PassageList", 120, 1680, 3975, 5715);
    label(client, "Label2", tr("Start Book"), 4920, 1320, 2175, 255);
    startbook = control<QListWidget>(client, "startbook", 4920, 1680, 2535, 4545);
    label(client, "Label3", tr("End Book"), 7920, 1320, 2415, 255);
    endbook = control<QListWidget>(client, "endbook", 7920, 1680, 2535, 4545);
    startChapter = control<QComboBox>(client, "startChapter", 4920, 6300, 735, 315);
    label(client, "Label4", QStringLiteral(":"), 5650, 6360, 135, 255)->setFont(arial(12, true));
    startVerse = control<QComboBox>(client, "startVerse", 5760, 6300, 735, 315);
    endChapter = control<QComboBox>(client, "endChapter", 7920, 6300, 735, 315);
    label(client, "Label5", QStringLiteral(":"), 8650, 6360, 135, 255)->setFont(arial(12, true));
    endVerse = control<QComboBox>(client, "endVerse", 8760, 6300, 735, 315);
    PassageLabel = label(client, "PassageLabel", QString(), 5040, 7080, 5535, 375);
    PassageLabel->setFont(arial(12));
    Memorize = button(client, "Memorize", tr("Add This Passage To Memorize"), 5040,
                      7560, 5655, 435);
    StartLearning =
        button(client, "StartLearning", tr("Start Learning"), 840, 7680, 2415, 615);

    for (QComboBox *combo : {startChapter, startVerse, endChapter, endVerse})
        combo->setMaxVisibleItems(20);
    QWidget *const tabOrder[] = {PassageList, startbook, startChapter, startVerse, endbook,
                                 endChapter,  endVerse,  Memorize,     StartLearning};
    for (size_t i = 1; i < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);

    fileMenu("pmenuFile", "pMenuExit");
    QMenu *view = menu("pMenuView", tr("&View"));
    menuItem(view, "pMenuUsers", tr("&Users"), [this] {
        hide();
        navigation_.showUsers();
    });
    menuItem(view, "pMenuProgress", tr("P&rogress"),
             [this] { navigation_.showProgress(CurrentUser, CurrentUserID); });
    helpMenu("pmenuHelp", "pHelp", "pMenuAbout");

    connect(Memorize, &QPushButton::clicked, this, &UserPassages::Memorize_Click);
    connect(StartLearning, &QPushButton::clicked, this, [this] {
        navigation_.startQuiz(CurrentUser, CurrentUserID);
        hide();
    });
    // The label follows every change of every picker, a choice taken away included.
    connect(startbook, &QListWidget::itemSelectionChanged, this,
            [this] { bookChosen(startbook, startChapter, startVerse); });
    connect(endbook, &QListWidget::itemSelectionChanged, this,
            [this] { bookChosen(endbook, endChapter, endVerse); });
    connect(startChapter, &QComboBox::currentIndexChanged, this,
            [this] { chapterChosen(startbook, startChapter, startVerse); });
    connect(endChapter, &QComboBox::currentIndexChanged, this,
            [this] { chapterChosen(endbook, endChapter, endVerse); });
    for (QComboBox *verse : {startVerse, endVerse})
        connect(verse, &QComboBox::currentIndexChanged, this, &UserPassages::ShowPassageLabel);
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
    if (context_.dialogs.attempt(std::forward<Work>(work)))
        return true;
    navigation_.showUsers();
    hide();
    return false;
}

void UserPassages::PassageListRequery() {
    onDatabase([this] { FillList(PassageList, passageList(context_.db, CurrentUserID)); });
}

void UserPassages::DeletePassage() {
    const std::optional<qint64> id = selectedId(PassageList);
    if (!id || !onDatabase([&] { deletePassage(context_.db, *id); }))
        return;
    Q_EMIT passageDeleted();
    PassageListRequery();
}

PassageRange UserPassages::chosenRange() const {
    const auto point = [](const QListWidget *book, const QComboBox *chapter,
                          const QComboBox *verse) {
        return VersePoint{selectedId(book).value_or(0), selectedText(book),
                          chosenText(chapter).toInt(), chosenText(verse).toInt()};
    };
    return {point(startbook, startChapter, startVerse), point(endbook, endChapter, endVerse)};
}

void UserPassages::Memorize_Click() {
    if (!ValidPassage()) {
        context_.dialogs.information(tr("Invalid Passage"),
                                     tr("Each passage must contain a starting verse and an "
                                        "ending verse greater than the starting verse."));
        PassageListRequery();
        return;
    }
    if (!onDatabase([this] {
            addPassage(context_.db, context_.clock, chosenRange(), CurrentUser, CurrentUserID);
        }))
        return;
    Q_EMIT passageAdded();
    PassageListRequery();
}

int UserPassages::GetLastChapter(qint64 book) {
    int last = 0;
    onDatabase([&] { last = lastChapter(context_.db, book); });
    return last;
}

int UserPassages::GetLastVerse(qint64 book, int chapter) {
    int last = 0;
    onDatabase([&] { last = lastVerse(context_.db, book, chapter); });
    return last;
}

bool UserPassages::ValidPassage() const { return chosenRange().isValid(); }

void UserPassages::ShowPassageLabel() {
    const PassageRange range = chosenRange();
    PassageLabel->setText(range.text());
    QPalette palette = PassageLabel->palette();
    palette.setColor(QPalette::WindowText, range.isValid() ? QColor(0, 0, 0) : QColor(250, 15, 0));
    PassageLabel->setPalette(palette);
}

void UserPassages::bookChosen(QListWidget *book, QComboBox *chapter, QComboBox *verse) {
    if (const std::optional<qint64> number = selectedId(book)) {
        fillNumbers(chapter, GetLastChapter(*number));
        clearNumbers(verse);
    }
    ShowPassageLabel();
}

void UserPassages::chapterChosen(QListWidget *book, QComboBox *chapter, QComboBox *verse) {
    const std::optional<qint64> number = selectedId(book);
    const QString chapterText = chosenText(chapter).trimmed();
    if (number && !chapterText.isEmpty())
        fillNumbers(verse, GetLastVerse(*number, chapterText.toInt()));
    ShowPassageLabel();
}

void UserPassages::fillBookLists() {
    onDatabase([this] {
        if (books_.isEmpty())
            books_ = BookNames(context_.db).books();
        for (QListWidget *list : {startbook, endbook}) {
            const QSignalBlocker blocker(list);
            FillList(list, books_);
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
    if (watched == PassageList && isPlainDeleteRelease(event) && selectedId(PassageList) &&
        context_.dialogs.confirm(tr("Are you sure you want to delete this passage?")))
        DeletePassage();
    return ProgramWindow::eventFilter(watched, event);
}
