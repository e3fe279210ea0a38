#include "app/messageboxdialogs.h"

#include <QApplication>
#include <QMessageBox>

void MessageBoxDialogs::errorReport(const Error &error) {
    QMessageBox::critical(QApplication::activeWindow(), QStringLiteral("Error"),
                          error.reportText());
}

bool MessageBoxDialogs::confirm(const QString &text) {
    return QMessageBox::critical(QApplication::activeWindow(), QStringLiteral("Versekeep"), text,
                                 QMessageBox::Ok | QMessageBox::Cancel,
                                 QMessageBox::Cancel) == QMessageBox::Ok;
}

void MessageBoxDialogs::information(const QString &caption, const QString &text) {
    QMessageBox::information(QApplication::activeWindow(), caption, text);
}

void MessageBoxDialogs::message(const QString &text) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Versekeep"), text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}
