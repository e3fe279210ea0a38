#include "messageboxdialogs.h"

#include <QApplication>
#include <QMessageBox>

void MessageBoxDialogs::errorReport(int number, const QString &description) {
    QMessageBox::critical(QApplication::activeWindow(), QStringLiteral("Error"),
                          QString::number(number) + ' ' + description);
}

bool MessageBoxDialogs::confirm(const QString &text) {
    return QMessageBox::critical(QApplication::activeWindow(), QStringLiteral("Versekeep"), text,
                                 QMessageBox::Ok | QMessageBox::Cancel,
                                 QMessageBox::Cancel) == QMessageBox::Ok;
}

void MessageBoxDialogs::information(const QString &caption, const QString &text) {
    QMessageBox::information(QApplication::activeWindow(), caption, text);
}
