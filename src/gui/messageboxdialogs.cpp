#include "gui/messageboxdialogs.h"

#include <QApplication>
#include <QMessageBox>

namespace {
// Texts may carry what a learner typed: shown as typed, never as markup.
int ask(QMessageBox::Icon icon, const QString &caption, const QString &text,
        QMessageBox::StandardButtons buttons = QMessageBox::Ok,
        QMessageBox::StandardButton preferred = QMessageBox::Ok) {
    QMessageBox box(icon, caption, text, buttons, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(preferred);
    return box.exec();
}
} // namespace

void MessageBoxDialogs::errorReport(const Error &error) {
    ask(QMessageBox::Critical, tr("Error"), error.reportText());
}

bool MessageBoxDialogs::confirm(const QString &text) {
    return ask(QMessageBox::Critical, tr("Versekeep"), text,
               QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel) == QMessageBox::Ok;
}

void MessageBoxDialogs::information(const QString &caption, const QString &text) {
    ask(QMessageBox::Information, caption, text);
}

void MessageBoxDialogs::message(const QString &text) {
    ask(QMessageBox::NoIcon, tr("Versekeep"), text);
}
