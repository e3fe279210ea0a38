#pragma once

#include <QMainWindow>

class Application;

// A main window of the program: controls on a client area of fixed size, and closing
// the window ends the program.
class ProgramWindow : public QMainWindow {
    Q_OBJECT
protected:
    ProgramWindow(Application &app, const char *name, const QString &caption,
                  int clientWidthTwips, int clientHeightTwips);

    QWidget *client() const { return centralWidget(); }
    // Once the menus are in place: the window keeps the size that shows them and the client.
    void fixSize();
    void closeEvent(QCloseEvent *event) override;

    Application &app_;
};
