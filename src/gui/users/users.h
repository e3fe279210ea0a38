#pragma once

#include "gui/programwindow.h"

class QLineEdit;
class QListWidget;
class QPushButton;

// The first window: every user by name; add, delete and open a user.
class Users : public ProgramWindow {
    Q_OBJECT
public:
    Users(const WindowContext &context, Navigation &navigation);

    // Reads the users afresh, as after a restore has put another file in the database's place.
    void requery();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void AddButton_Click();
    void openSelectedUser();
    void DeleteSelectedUser();

    QLineEdit *User;
    QPushButton *AddButton;
    QListWidget *userlist;
};
