#pragma once

#include "core/error.h"
#include "learning/answers.h"

#include <functional>

class QWidget;

// Where a question page is shown and answered. The page answers asynchronously: what it
// reads comes back through a callback.
class QuestionPage {
public:
    virtual ~QuestionPage() = default;

    virtual QWidget *widget() = 0;
    // Runs ready as soon as the page can take a question: at once when it already can.
    // Only the last request waits.
    virtual void whenReady(std::function<void()> ready) = 0;
    // ShowQuestion: the page text replaces the whole body.
    virtual void showPage(const QString &html) = 0;
    // The keyboard in blank 1.
    virtual void focusFirstBlank() = 0;
    // Blanks 1 to count in one call: each one's verse id, expected and typed text; failed
    // instead when an element is missing or a verse id is not a number.
    virtual void readBlanks(int count, std::function<void(const QList<BlankAnswer> &)> done,
                            std::function<void(const Error &)> failed) = 0;
    // The blank's text turns red, with the expected text as its tooltip.
    virtual void markWrong(int number, const QString &tooltip) = 0;

    // Enter pressed in the page.
    std::function<void()> enterPressed;
    // Alt with a letter pressed in the page: the engine keeps such keys from the window's
    // menus, so the page hands them on.
    std::function<void(const QString &letter)> menuKeyPressed;
};

// The page over the browser engine, from a module loaded when the first quiz starts: the
// engine takes a long while to load, and the user list should not wait for it. Throws
// when the module cannot be loaded.
QuestionPage *loadQuestionPage(QWidget *parent);
