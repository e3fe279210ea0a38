#pragma once

#include <QDialog>

class Desktop;
class QIcon;
class QPushButton;

// The program's icon, for its windows and the About window.
QIcon programIcon();

// Who makes Versekeep, and which version this is. Not modal; made afresh each time it is
// shown after it was closed.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(Desktop &desktop);

private:
    QPushButton *cmdOK;
};
