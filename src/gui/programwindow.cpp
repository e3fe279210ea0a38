#include "gui/programwindow.h"

#include "gui/controls.h"

#include <QCloseEvent>
#include <QMenuBar>

ProgramWindow::ProgramWindow(const WindowContext &context, Navigation &navigation,
                             const char *name, const QString &caption, int clientWidthTwips,
                             int clientHeightTwips)
    : context_(context), navigation_(navigation),
      clientSize_(fromTwips(clientWidthTwips), fromTwips(clientHeightTwips)) {
    setObjectName(QString::fromLatin1(name));
    setWindowTitle(caption);
    // Moving between windows hides one; only ExitProgram ends the run.
    setAttribute(Qt::WA_QuitOnClose, false);
    auto *area = new QWidget(this);
    area->setFont(defaultControlFont());
    area->resize(clientSize_);
    setCentralWidget(area);
}

QMenu *ProgramWindow::menu(const char *name, const QString &caption) {
    QMenu *result = menuBar()->addMenu(caption);
    result->setObjectName(QString::fromLatin1(name));
    return result;
}

QAction *ProgramWindow::menuItem(QMenu *menu, const char *name, const QString &caption,
                                 const std::function<void()> &handler) {
    QAction *action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    if (handler)
        connect(action, &QAction::triggered, this, handler);
    return action;
}

QMenu *ProgramWindow::fileMenu(const char *menuName, const char *exitName) {
    QMenu *file = menu(menuName, tr("&File"));
    menuItem(file, exitName, tr("E&xit"), [this] { navigation_.ExitProgram(); });
    return file;
}

void ProgramWindow::helpMenu(const char *menuName, const char *helpName, const char *aboutName) {
    QMenu *help = menu(menuName, tr("&Help"));
    menuItem(help, helpName, tr("&Help"), [this] { navigation_.showHelp(); });
    menuItem(help, aboutName, tr("&About Versekeep"),
             [this] { navigation_.showAbout(); });
}

QSize ProgramWindow::designSize() const {
    return {clientSize_.width(), clientSize_.height() + menuBar()->sizeHint().height()};
}

void ProgramWindow::fixSize() {
    client()->setFixedSize(clientSize_);
    setFixedSize(designSize());
}

void ProgramWindow::closeEvent(QCloseEvent *event) {
    event->accept();
    navigation_.ExitProgram();
}
