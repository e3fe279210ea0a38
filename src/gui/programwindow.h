#pragma once

#include "gui/windowcontext.h"

#include <QMainWindow>
#include <functional>

class QAction;
class QMenu;

// A main window of the program: controls on a client area of fixed size, menus named as
// the handlers know them, and closing the window ends the program.
class ProgramWindow : public QMainWindow {
    Q_OBJECT
protected:
    ProgramWindow(const WindowContext &context, Navigation &navigation, const char *name,
                  const QString &caption, int clientWidthTwips, int clientHeightTwips);

    QWidget *client() const { return centralWidget(); }
    QMenu *menu(const char *name, const QString &caption);
    QAction *menuItem(QMenu *menu, const char *name, const QString &caption,
                      const std::function<void()> &handler = {});
    // The File menu with its Exit item, and the Help menu with Help and About.
    QMenu *fileMenu(const char *menuName, const char *exitName);
    void helpMenu(const char *menuName, const char *helpName, const char *aboutName);
    // Once the menus are in place: the size that shows them and the client as designed.
    QSize designSize() const;
    // The window keeps its design size.
    void fixSize();
    void closeEvent(QCloseEvent *event) override;

    WindowContext context_;
    Navigation &navigation_;

private:
    QSize clientSize_;
};
