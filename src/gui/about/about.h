#pragma once

#include <QDialog>

#include "gui/windowcontext.h"

class Desktop;
class QIcon;
class QPushButton;

// The program's icon, for its windows and the About window.
QIcon programIcon();

// Who makes Versekeep, which version this is, and which Bible the database holds. Not
// modal; made afresh each time it is shown after it was closed.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    frmAbout(const WindowContext &context, Desktop &desktop);

private:
    QPushButton *cmdOK;
};
