#pragma once

#include "programwindow.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

// The first window: every user by name; add, delete and open a user.
class Users : public ProgramWindow {
    Q_OBJECT
public:
    explicit Users(Application &app);

    QLineEdit *User;
    QPushButton *AddButton;
    QListWidget *userlist;

    void AddButton_Click();
    void openSelectedUser();
    void DeleteSelectedUser();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void requery();
};
