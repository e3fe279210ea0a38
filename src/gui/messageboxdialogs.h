#pragma once

#include "gui/dialogs.h"

#include <QCoreApplication>

// The real message boxes, over whichever window is active.
class MessageBoxDialogs : public Dialogs {
    Q_DECLARE_TR_FUNCTIONS(MessageBoxDialogs)
public:
    void errorReport(const Error &error) override;
    bool confirm(const QString &text) override;
    void information(const QString &caption, const QString &text) override;
    void message(const QString &text) override;
};
