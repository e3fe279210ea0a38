#pragma once

#include "gui/programwindow.h"
#include "store/quiz.h"

class QLabel;
class QPushButton;
class QTimer;
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
    // A page was judged and stored, and the page after it is on show: figures on show are
    // out of date.
    void pageJudged();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // The next page; shown runs once it is on show, or when there is none to show.
    void makeQuestion(const std::function<void()> &shown = {});
    // The line under the empty page: what comes next, and when.
    QString upcomingText(const Upcoming &upcoming) const;
    // On the empty page: the next page once something is askable, else the timer set to then.
    void nextPageWhenDue();
    void armNextPage();
    void zoom(int steps); // 0: normal size
    void SubmitAnswer_Click();
    void ContinueButton_Click();
    void judge(const QList<BlankAnswer> &answers);
    void showCounts();
    // After a failure, reported: back to the passage window.
    void fallBack();

    Quiz quiz_;
    QString quizUser;
    bool judging_ = false;
    QString nextPageAt_; // on the empty page, when the next page comes; empty otherwise
    QTimer *nextPage_;

    QuestionPage *questionctl;
    QPushButton *SubmitAnswer;
    QPushButton *ContinueButton;
    QLabel *unumCorrect;
    QLabel *unumIncorrect;
    QLabel *uLastAnswer;
    QLabel *uLastAValue;
};
