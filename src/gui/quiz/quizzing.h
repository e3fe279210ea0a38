#pragma once

#include "gui/programwindow.h"
#include "store/quiz.h"

class QLabel;
class QPushButton;
class QuestionPage;

// The quiz: one page after another of the user's due passages, judged and scored.
class Quizzing : public ProgramWindow {
    Q_OBJECT
public:
    Quizzing(const WindowContext &context, Navigation &navigation);

    // Starts a quiz of the user's due passages: fresh thresholds, the first due passage.
    void FormSetup(const QString &userName, qint64 userId);

    const Quiz &quiz() const { return quiz_; }

Q_SIGNALS:
    // A page was judged and stored: figures on show are out of date.
    void pageJudged();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void makeQuestion();
    void ShowQuestion(const QString &htmlString);
    void SubmitAnswer_Click();
    void ContinueButton_Click();
    void judge(const QList<BlankAnswer> &answers);
    void showCounts();
    // After a failure, reported: back to the passage window.
    void fallBack();

    Quiz quiz_;
    QString quizUser;
    bool judging_ = false;

    QuestionPage *questionctl;
    QPushButton *SubmitAnswer;
    QPushButton *ContinueButton;
    QLabel *unumCorrect;
    QLabel *unumIncorrect;
    QLabel *uLastAnswer;
    QLabel *uLastAValue;
};
