#include "app/application.h"
#include "app/clock.h"
#include "app/messageboxdialogs.h"

#include <QApplication>

int main(int argc, char *argv[]) {
    // The question page's engine shares the windows' graphics context.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication qtApp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Versekeep"));
    QApplication::setApplicationVersion(QStringLiteral(VERSEKEEP_VERSION));
    // Moving between windows hides one and shows another; only ExitProgram ends the run.
    QApplication::setQuitOnLastWindowClosed(false);

    MessageBoxDialogs dialogs;
    SystemClock clock;
    Application app(dialogs, clock);
    QObject::connect(&app, &Application::finished, &qtApp, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    if (!app.Main())
        return 1;
    return QApplication::exec();
}
