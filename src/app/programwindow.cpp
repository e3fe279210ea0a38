#include "programwindow.h"

#include "application.h"
#include "controls.h"

#include <QCloseEvent>
#include <QMenuBar>

ProgramWindow::ProgramWindow(Application &app, const char *name, const QString &caption,
                             int clientWidthTwips, int clientHeightTwips)
    : app_(app) {
    setObjectName(QString::fromLatin1(name));
    setWindowTitle(caption);
    // Moving between windows hides one; only ExitProgram ends the run.
    setAttribute(Qt::WA_QuitOnClose, false);
    auto *area = new QWidget(this);
    area->setFont(defaultControlFont());
    area->setFixedSize(fromTwips(clientWidthTwips), fromTwips(clientHeightTwips));
    setCentralWidget(area);
}

void ProgramWindow::fixSize() {
    setFixedSize(client()->width(), client()->height() + menuBar()->sizeHint().height());
}

void ProgramWindow::closeEvent(QCloseEvent *event) {
    event->accept();
    app_.ExitProgram();
}
