#include "gui/quiz/quizzing.h"

#include "gui/controls.h"
#include "gui/dialogs.h"
#include "gui/quiz/questionpage.h"

#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QResizeEvent>

namespace {
// The bounds of the outer size, in twips.
constexpr int widest = 12200;
constexpr int narrowest = 1200;
constexpr int lowest = 2000;

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
    helpMenu("qMenuHelp", "qHelp", "qMenuAbout");

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
    questionctl->whenReady([this] { makeQuestion(); });
}

void Quizzing::makeQuestion() {
    QString html;
    if (!context_.dialogs.attempt([&] { html = quiz_.makeQuestion(); }))
        return fallBack();
    ShowQuestion(html);
    if (!quiz_.state().blanks.isEmpty())
        questionctl->focusFirstBlank();
}

void Quizzing::ShowQuestion(const QString &htmlString) { questionctl->showPage(htmlString); }

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
    Q_EMIT pageJudged();
    for (int number : judgement.wrongBlanks)
        questionctl->markWrong(number, answers[number - 1].expected);
    if (judgement.pageRight) {
        makeQuestion();
    } else {
        context_.dialogs.message(
            tr("Some blanks were incorrect please review the correct answers before continuing."));
        ContinueButton->show();
        ContinueButton->setFocus();
        SubmitAnswer->hide();
    }
    uLastAValue->setText(judgement.pageRight ? tr("CORRECT") : tr("INCORRECT"));
    setBackground(uLastAValue, judgement.pageRight ? QColor(0, 255, 0) : QColor(255, 0, 0));
    showCounts();
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
