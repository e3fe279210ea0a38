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
    void makeQuestion();
    void ShowQuestion(const QString &htmlString);
    void SubmitAnswer_Click();
    void ContinueButton_Click();

    const Quiz &quiz() const { return quiz_; }
    QString quizUser;

    QuestionPage *questionctl;
    QPushButton *SubmitAnswer;
    QPushButton *ContinueButton;
    QLabel *unumCorrect;
    QLabel *unumIncorrect;
    QLabel *uLastAnswer;
    QLabel *uLastAValue;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void judge(const QList<BlankAnswer> &answers);
    void showCounts();
    // After a failure, reported: back to the passage window.
    void fallBack();

    Quiz quiz_;
    bool judging_ = false;
};
