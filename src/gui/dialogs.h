#pragma once

#include "core/error.h"

#include <QString>

// Every message box of the program goes through here, so that tests can answer them.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    // The error report: Error::reportText(), caption "Error", critical icon, OK.
    virtual void errorReport(const Error &error) = 0;
    // OK and Cancel, critical icon, caption "Versekeep"; true for OK.
    virtual bool confirm(const QString &text) = 0;
    // A rule the learner broke: fixed text, its own caption, information icon, OK.
    virtual void information(const QString &caption, const QString &text) = 0;
    // A word to the learner: caption "Versekeep", no icon, OK.
    virtual void message(const QString &text) = 0;

    // Runs the work; an Error it throws is reported. True when the work ran to its end.
    template <typename Work> bool attempt(Work &&work) {
        try {
            work();
            return true;
        } catch (const Error &error) {
            errorReport(error);
            return false;
        }
    }
};
