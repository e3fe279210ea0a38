#pragma once

#include <QMainWindow>

class Application;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

// The first window: every user by name; add, delete and open a user.
class Users : public QMainWindow {
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
    void closeEvent(QCloseEvent *event) override;

private:
    void requery();

    Application &app_;
};
