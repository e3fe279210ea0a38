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

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void requery();
    void AddButton_Click();
    void openSelectedUser();
    void DeleteSelectedUser();

    QLineEdit *User;
    QPushButton *AddButton;
    QListWidget *userlist;
};
