#pragma once

#include "dialogs.h"

// The real message boxes, over whichever window is active.
class MessageBoxDialogs : public Dialogs {
public:
    void errorReport(int number, const QString &description) override;
    bool confirm(const QString &text) override;
    void information(const QString &caption, const QString &text) override;
};
