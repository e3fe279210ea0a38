#pragma once

#include "gui/desktop.h"
#include "gui/dialogs.h"

#include <QList>
#include <QStringList>

// Records every message box and answers the questions from a queue (Cancel when empty).
class RecordingDialogs : public Dialogs {
public:
    void errorReport(const Error &error) override {
        errors << error.reportText();
        errorNumbers << error.number();
    }
    bool confirm(const QString &text) override {
        questions << text;
        return answers.isEmpty() ? false : answers.takeFirst();
    }
    void information(const QString &caption, const QString &text) override {
        informations << caption + ": " + text;
    }
    void message(const QString &text) override { informations << text; }
    int count() const { return int(errors.size() + questions.size() + informations.size()); }

    QStringList errors;
    QList<int> errorNumbers;
    QStringList questions;
    QStringList informations;
    QList<bool> answers;
};

// Records what was handed to the system's programs; a help viewer starts unless told not to.
struct RecordingDesktop : Desktop {
    bool openHelp(const QString &file) override {
        opened << file;
        return helpViewer;
    }
    void openAddress(const QUrl &address) override { opened << address.toString(); }
    QStringList opened;
    bool helpViewer = true;
};
