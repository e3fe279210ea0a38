#include "gui/desktop.h"

#include <QDesktopServices>
#include <QProcess>

bool SystemDesktop::openHelp(const QString &file) {
    return QProcess::startDetached(QStringLiteral("xchm"), {file});
}

void SystemDesktop::openAddress(const QUrl &address) { QDesktopServices::openUrl(address); }
