#include "gui/quiz/quizzing.h"

#include "core/clock.h"
#include "core/settings.h"
#include "gui/controls.h"
#include "gui/dialogs.h"
#include "gui/quiz/questionpage.h"
#include "learning/difference.h"
#include "learning/schedule.h"

#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QResizeEvent>
#include <QTimer>

namespace {
// The bounds of the outer size, in twips.
constexpr int widest = 12200;
constexpr int narrowest = 1200;
constexpr int lowest = 2000;
// The sizes of the page's text, in percent of normal.
constexpr int zoomSteps[] = {50, 67, 75, 80, 90, 100, 110, 125, 150, 175, 200, 250, 300};
// The longest a timer waits before the next page is looked for again: QTimer counts in int.
constexpr qint64 longestWait = 24 * 60 * 60 * 1000;

void setBackground(QLabel *label, const QColor &colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, colour);
    label->setPalette(palette);
}
} // namespace

Quizzing::Quizzing(const WindowContext &context, Navigation &navigation)
    : ProgramWindow(context, navigation, "Quizzing", tr("Quizzing"), 12075, 8955),
      quiz_(context.db, context.clock) {
    QWidget *client = this->client();
    questionctl = loadQuestionPage(client);
    QWidget *page = questionctl->widget();
    page->setObjectName(QStringLiteral("questionctl"));
    placeTwips(page, 240, 240, 11055, 7575);
    SubmitAnswer =
        button(client, "SubmitAnswer", tr("Submit Answer"), 10080, 8040, 1215, 375);
    ContinueButton =
        button(client, "ContinueButton", tr("Continue"), 9840, 8040, 1455, 375);
    ContinueButton->hide();
    unumCorrect = label(client, "unumCorrect", QString(), 240, 8280, 1335, 255);
    unumIncorrect = label(client, "unumIncorrect", QString(), 2520, 8280, 1455, 255);
    uLastAnswer = label(client, "uLastAnswer", tr("Last: "), 5040, 8280, 495, 255);
    uLastAValue = label(client, "uLastAValue", QString(), 5520, 8280, 1215, 255);
    uLastAValue->setAutoFillBackground(true);
    setTabOrder(page, SubmitAnswer);
    setTabOrder(SubmitAnswer, ContinueButton);

    fileMenu("qMenuFile", "qMenuExit");
    QMenu *view = menu("qMenuView", tr("&View"));
    menuItem(view, "qMenuPassages", tr("&Passages"), [this] {
        navigation_.returnToPassages();
        hide();
    });
    menuItem(view, "qMenuUsers", tr("&Users"), [this] {
        navigation_.showUsers();
        hide();
    });
    menuItem(view, "qMenuProgress", tr("P&rogress"),
             [this] { navigation_.showProgress(quizUser, quiz_.state().userId); });
    view->addSeparator();
    QAction *larger = menuItem(view, "qMenuZoomIn", tr("&Larger Text"), [this] { zoom(1); });
    QAction *smaller = menuItem(view, "qMenuZoomOut", tr("S&maller Text"), [this] { zoom(-1); });
    QAction *normal = menuItem(view, "qMenuZoomNormal", tr("&Normal Size"), [this] { zoom(0); });
    larger->setShortcuts({QKeySequence::ZoomIn, QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    smaller->setShortcuts(QKeySequence::ZoomOut);
    normal->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
    helpMenu("qMenuHelp", "qHelp", "qMenuAbout");
    questionctl->setZoom(Settings::pageZoom() / 100.0);

    nextPage_ = new QTimer(this);
    nextPage_->setObjectName(QStringLiteral("nextPageTimer"));
    nextPage_->setSingleShot(true);
    nextPage_->setTimerType(Qt::PreciseTimer);
    connect(nextPage_, &QTimer::timeout, this, &Quizzing::nextPageWhenDue);

    connect(SubmitAnswer, &QPushButton::clicked, this, &Quizzing::SubmitAnswer_Click);
    connect(ContinueButton, &QPushButton::clicked, this, &Quizzing::ContinueButton_Click);
    // Enter in a blank answers the page, or after a wrong one brings the next.
    questionctl->enterPressed = [this] {
        (SubmitAnswer->isVisible() ? SubmitAnswer : ContinueButton)->click();
    };
    questionctl->menuKeyPressed = [this](const QString &letter) {
        for (QAction *title : menuBar()->actions())
            if (title->menu() && title->text().contains('&' + letter, Qt::CaseInsensitive))
                title->menu()->popup(
                    menuBar()->mapToGlobal(menuBar()->actionGeometry(title).bottomLeft()));
    };

    setMinimumSize(fromTwips(narrowest), fromTwips(lowest));
    setMaximumWidth(fromTwips(widest));
    resize(designSize());
    showCounts();
}

void Quizzing::FormSetup(const QString &userName, qint64 userId) {
    quiz_.start(userId);
    quizUser = userName;
    nextPageAt_.clear();
    questionctl->whenReady([this] { makeQuestion(); });
}

void Quizzing::makeQuestion(const std::function<void()> &shown) {
    QString html;
    Upcoming upcoming;
    const bool made = context_.dialogs.attempt([&] {
        html = quiz_.makeQuestion();
        if (quiz_.state().blanks.isEmpty())
            upcoming = quiz_.upcoming();
    });
    for (const LeftOut &passage : quiz_.takeLeftOut())
        context_.dialogs.errorReport(passage.error.retold(
            tr("%1 cannot be asked, and this quiz goes on without it: %2")
                .arg(passage.range.isEmpty() ? tr("A passage") : passage.range,
                     passage.error.description())));
    if (!made) {
        if (shown)
            shown();
        return fallBack();
    }
    questionctl->showPage(html, shown);
    nextPage_->stop();
    nextPageAt_.clear();
    if (!quiz_.state().blanks.isEmpty())
        return questionctl->focusFirstBlank();
    questionctl->showNote(upcomingText(upcoming));
    nextPageAt_ = upcoming.from;
    armNextPage();
}

QString Quizzing::upcomingText(const Upcoming &upcoming) const {
    if (upcoming.passages == 0)
        return tr("You have no passages yet: View, Passages leads to where you add one.");
    if (upcoming.from.isEmpty())
        return tr("None of your passages has a verse to ask.");
    const DueWhen when = dueWhen(upcoming.from, context_.clock.now());
    const QString time = when.time.toString(u"HH:mm");
    QString text;
    switch (when.unit) {
    case DueWhen::Due:
        text = tr("now");
        break;
    case DueWhen::Minutes:
        text = when.minutes == 1 ? tr("in 1 minute") : tr("in %1 minutes").arg(when.minutes);
        break;
    case DueWhen::Today:
        text = tr("today at %1").arg(time);
        break;
    case DueWhen::Tomorrow:
        text = tr("tomorrow at %1").arg(time);
        break;
    case DueWhen::Later:
        text = tr("on %1").arg(when.date.toString(
            when.date.year() == context_.clock.now().date().year() ? u"d MMMM" : u"d MMMM yyyy"));
        break;
    case DueWhen::Unreadable:
        text = tr("on %1").arg(upcoming.from);
        break;
    }
    return tr("%1 falls due %2.").arg(upcoming.range, text);
}

void Quizzing::nextPageWhenDue() {
    if (nextPageAt_.isEmpty() || !isVisible())
        return;
    if (DueAt(context_.clock.now())(nextPageAt_))
        return makeQuestion();
    armNextPage();
}

void Quizzing::armNextPage() {
    const std::optional<QDateTime> at = dueMoment(nextPageAt_);
    if (!at || !isVisible())
        return;
    // A moment already past that the quiz does not ask yet (the clocks went back over it):
    // looked for again in a minute.
    const qint64 wait = context_.clock.now().msecsTo(*at);
    nextPage_->start(int(wait > 0 ? std::min(wait, longestWait) : 60 * 1000));
}

void Quizzing::showEvent(QShowEvent *event) {
    ProgramWindow::showEvent(event);
    nextPageWhenDue();
}

void Quizzing::hideEvent(QHideEvent *event) {
    ProgramWindow::hideEvent(event);
    nextPage_->stop();
}

void Quizzing::changeEvent(QEvent *event) {
    ProgramWindow::changeEvent(event);
    // Back at the window, perhaps after the computer slept through the moment.
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        nextPageWhenDue();
}

void Quizzing::zoom(int steps) {
    const int now = Settings::pageZoom();
    int percent = 100;
    if (steps > 0)
        percent = *std::upper_bound(std::begin(zoomSteps), std::end(zoomSteps) - 1, now);
    else if (steps < 0)
        percent = *(std::lower_bound(std::begin(zoomSteps) + 1, std::end(zoomSteps), now) - 1);
    Settings::setPageZoom(percent);
    questionctl->setZoom(percent / 100.0);
}

void Quizzing::SubmitAnswer_Click() {
    // A page is judged once; the empty page and one being judged take no answer.
    if (judging_ || quiz_.state().blanks.isEmpty())
        return;
    judging_ = true;
    questionctl->readBlanks(
        int(quiz_.state().blanks.size()),
        [this](const QList<BlankAnswer> &answers) {
            judge(answers);
            judging_ = false;
        },
        [this](const Error &error) {
            judging_ = false;
            context_.dialogs.errorReport(error);
        });
}

void Quizzing::judge(const QList<BlankAnswer> &answers) {
    const QList<Blank> blanks = quiz_.state().blanks;
    Judgement judgement;
    try {
        judgement = quiz_.submit(answers);
    } catch (const Error &error) {
        context_.dialogs.errorReport(error);
        // Nothing is left to quiz on when the passage or its user has gone.
        if (error.is(Error::DeletedElsewhere)) {
            navigation_.showUsers();
            hide();
            return;
        }
        return fallBack();
    }
    // What the page came to, once the next page or the corrections are on show: a page
    // drawn first, then the labels and whatever else follows a judged page.
    const auto told = [this, right = judgement.pageRight] {
        uLastAValue->setText(right ? tr("CORRECT") : tr("INCORRECT"));
        setBackground(uLastAValue, right ? QColor(0, 255, 0) : QColor(255, 0, 0));
        showCounts();
        Q_EMIT pageJudged();
    };
    if (judgement.pageRight)
        return makeQuestion(told);
    QList<BlankCorrection> corrections(answers.size());
    for (int number : judgement.wrongBlanks)
        corrections[number - 1] = {
            false, wordDifference(answers[number - 1].typed, blanks[number - 1].expected)};
    questionctl->showCorrections(corrections);
    told(); // INCORRECT and the counts stand behind the message
    context_.dialogs.message(
        tr("Some blanks were incorrect please review the correct answers before continuing."));
    ContinueButton->show();
    ContinueButton->setFocus();
    SubmitAnswer->hide();
}

void Quizzing::ContinueButton_Click() {
    SubmitAnswer->show();
    SubmitAnswer->setFocus();
    ContinueButton->hide();
    makeQuestion();
}

void Quizzing::showCounts() {
    unumCorrect->setText(tr("# Correct: %1").arg(quiz_.numCorrect));
    unumIncorrect->setText(tr("# Incorrect: %1").arg(quiz_.numIncorrect));
}

void Quizzing::fallBack() {
    navigation_.returnToPassages();
    hide();
}

void Quizzing::resizeEvent(QResizeEvent *event) {
    ProgramWindow::resizeEvent(event);
    // Minimised and maximised windows keep their controls where they were; the bounds of
    // the size are the window's minimum and maximum.
    if (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized))
        return;
    const int outerWidth = width() * 15;
    const int outerHeight = height() * 15;
    SubmitAnswer->move(fromTwips(outerWidth - 1500), fromTwips(outerHeight - 1200));
    ContinueButton->move(fromTwips(outerWidth - 1800), fromTwips(outerHeight - 1200));
    questionctl->widget()->resize(fromTwips(outerWidth - 700), fromTwips(outerHeight - 1700));
    for (QLabel *label : {unumCorrect, unumIncorrect, uLastAnswer, uLastAValue})
        label->move(label->x(), fromTwips(outerHeight - 1365));
}
