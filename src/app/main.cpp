#include "app/application.h"
#include "app/restorecommand.h"
#include "core/clock.h"
#include "gui/about/about.h"
#include "gui/desktop.h"
#include "gui/messageboxdialogs.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char *argv[]) {
    if (argc >= 2 && qstrcmp(argv[1], "--restore") == 0) {
        QCoreApplication shell(argc, argv); // no window
        return restoreCommand(argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString());
    }
    QApplication qtApp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Versekeep"));
    QApplication::setApplicationVersion(QStringLiteral(VERSEKEEP_VERSION));
    // Moving between windows hides one and shows another; only ExitProgram ends the run.
    QApplication::setQuitOnLastWindowClosed(false);

    QApplication::setWindowIcon(programIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral("versekeep"));

    MessageBoxDialogs dialogs;
    SystemClock clock;
    SystemDesktop desktop;
    Application app(dialogs, clock, desktop);
    QObject::connect(&app, &Application::finished, &qtApp, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    if (!app.Main())
        return 1;
    return QApplication::exec();
}
