#include "gui/users/users.h"

#include "gui/controls.h"
#include "gui/dialogs.h"
#include "gui/filllist.h"
#include "store/users.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>

Users::Users(const WindowContext &context, Navigation &navigation)
    : ProgramWindow(context, navigation, "Users", tr("Users"), 3900, 6630) {
    QWidget *client = this->client();

    label(client, "Label2", tr("USERS"), 0, 120, 1695, 375)->setFont(arial(15.75));
    User = control<QLineEdit>(client, "User", 240, 810, 2415, 285);
    AddButton = button(client, "AddButton", tr("Add"), 2760, 720, 735, 375);
    label(client, "Label1", tr("Users"), 240, 1200, 1095, 255);
    userlist = control<QListWidget>(client, "userlist", 240, 1560, 3375, 4545);
    label(client, "Label3", tr("double click on a user to start."), 240, 6240, 3135,
          255);
    setTabOrder(User, AddButton);
    setTabOrder(AddButton, userlist);

    // Restoring goes before Exit.
    QMenu *file = fileMenu("menuFile", "menuExit");
    QAction *exit = file->actions().constLast();
    file->insertAction(exit, menuItem(file, "menuRestore", tr("&Restore a Backup..."),
                                      [this] { navigation_.showBackups(); }));
    file->insertSeparator(exit);
    helpMenu("menuHelp", "uHelp", "MenuAbout");

    connect(AddButton, &QPushButton::clicked, this, &Users::AddButton_Click);
    connect(User, &QLineEdit::returnPressed, this, &Users::AddButton_Click);
    keepCurrentChosen(userlist);
    connect(userlist, &QListWidget::itemDoubleClicked, this, &Users::openSelectedUser);
    userlist->installEventFilter(this);

    fixSize();
    requery();
}

void Users::requery() {
    context_.dialogs.attempt([this] { FillList(userlist, userList(context_.db)); });
}

void Users::AddButton_Click() {
    try {
        addUser(context_.db, User->text());
    } catch (const Error &error) {
        if (error.is(Error::BadInput))
            context_.dialogs.information(tr("Invalid Name"), error.description());
        else
            context_.dialogs.errorReport(error);
        return;
    }
    requery();
}

void Users::openSelectedUser() {
    const std::optional<qint64> id = selectedId(userlist);
    if (!id)
        return;
    navigation_.showPassages(selectedText(userlist), *id);
    hide();
}

void Users::DeleteSelectedUser() {
    const std::optional<qint64> id = selectedId(userlist);
    if (id && context_.dialogs.attempt([&] { deleteUser(context_.db, *id); }))
        requery();
}

bool Users::eventFilter(QObject *watched, QEvent *event) {
    if (watched == userlist && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            openSelectedUser();
            return true;
        }
    }
    if (watched == userlist && isPlainDeleteRelease(event) && selectedId(userlist) &&
        context_.dialogs.confirm(
            tr("Are you sure you want to delete this user and all associated passages?")))
        DeleteSelectedUser();
    return ProgramWindow::eventFilter(watched, event);
}
