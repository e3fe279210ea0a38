#pragma once

#include "core/error.h"
#include "learning/answers.h"
#include "learning/difference.h"

#include <algorithm>
#include <functional>

class QWidget;

// A blank of a judged page: right, or wrong with what was typed against what was expected.
struct BlankCorrection {
    bool right = true;
    QList<DiffSegment> difference;
};

// Where a question page is shown and answered. The page answers asynchronously: what it
// reads comes back through a callback.
class QuestionPage {
public:
    virtual ~QuestionPage() = default;

    virtual QWidget *widget() = 0;
    // Runs ready as soon as the page can take a question: at once when it already can.
    // Only the last request waits.
    virtual void whenReady(std::function<void()> ready) = 0;
    // ShowQuestion: the page text replaces the whole body. Each blank is then named for a
    // screen reader, and one wider than the page wraps within it; then shown runs. A long
    // page shows its first screenful at once and takes its other rows between frames;
    // reading or marking its blanks takes it in whole first.
    virtual void showPage(const QString &html, std::function<void()> shown = {}) = 0;
    // The keyboard in blank 1.
    virtual void focusFirstBlank() = 0;
    // Blanks 1 to count in one call: each one's verse id, expected and typed text; failed
    // instead when an element is missing or a verse id is not a number.
    virtual void readBlanks(int count, std::function<void(const QList<BlankAnswer> &)> done,
                            std::function<void(const Error &)> failed) = 0;
    // Blanks 1, 2, ... of a judged page, in order: each marked right or wrong by its border
    // and a sign; a wrong one's text turns red, with the page's expected text as its
    // tooltip, and under it stands the difference, for the eye and a screen reader.
    virtual void showCorrections(const QList<BlankCorrection> &blanks) = 0;
    // A line of text under the page shown.
    virtual void showNote(const QString &text) = 0;
    // The page's text and blanks at this size, 1 being normal.
    virtual void setZoom(qreal factor) = 0;

    // Enter in the page that does not move on to an empty blank: Ctrl+Enter, Enter on a
    // judged page, and Enter in a blank when every other blank is filled.
    std::function<void()> enterPressed;
    // Alt with a letter pressed in the page: the engine keeps such keys from the window's
    // menus, so the page hands them on.
    std::function<void(const QString &letter)> menuKeyPressed;
};

// The characters of a long page's rows shown at once in a view this size, at this zoom: more
// than a screen's worth, as a page of short words fills it. The rest follows a piece at a time.
inline qsizetype firstScreenful(int width, int height, qreal zoom) {
    return std::max(qsizetype(0.035 * width * height / (zoom * zoom)), qsizetype(8 * 1024));
}

// The page over the browser engine, from a module loaded when the first quiz starts: the
// engine takes a long while to load, and the user list should not wait for it. Throws
// when the module cannot be loaded.
QuestionPage *loadQuestionPage(QWidget *parent);
