#include "users.h"

#include "application.h"
#include "controls.h"
#include "database.h"
#include "dialogs.h"
#include "filllist.h"
#include "userpassages.h"
#include "userstore.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>

Users::Users(Application &app)
    : ProgramWindow(app, "Users", QStringLiteral("Users"), 3900, 6630) {
    QWidget *client = this->client();

    label(client, "Label2", QStringLiteral("USERS"), 0, 120, 1695, 375)->setFont(arial(15.75));
    User = control<QLineEdit>(client, "User", 240, 810, 2415, 285);
    AddButton = button(client, "AddButton", QStringLiteral("Add"), 2760, 720, 735, 375);
    label(client, "Label1", QStringLiteral("Users"), 240, 1200, 1095, 255);
    userlist = control<QListWidget>(client, "userlist", 240, 1560, 3375, 4545);
    label(client, "Label3", QStringLiteral("double click on a user to start."), 240, 6240, 3135,
          255);
    setTabOrder(User, AddButton);
    setTabOrder(AddButton, userlist);

    QMenu *menuFile = namedMenu(menuBar(), "menuFile", QStringLiteral("&File"));
    QAction *menuExit = namedAction(menuFile, "menuExit", QStringLiteral("E&xit"));
    QMenu *menuHelp = namedMenu(menuBar(), "menuHelp", QStringLiteral("&Help"));
    namedAction(menuHelp, "uHelp", QStringLiteral("&Help"));
    namedAction(menuHelp, "MenuAbout", QStringLiteral("&About Versekeep"));

    connect(menuExit, &QAction::triggered, this, [this] { app_.ExitProgram(); });
    connect(AddButton, &QPushButton::clicked, this, &Users::AddButton_Click);
    connect(User, &QLineEdit::returnPressed, this, &Users::AddButton_Click);
    keepCurrentChosen(userlist);
    connect(userlist, &QListWidget::itemDoubleClicked, this, &Users::openSelectedUser);
    userlist->installEventFilter(this);

    fixSize();
    requery();
}

void Users::requery() {
    app_.dialogs().attempt([this] {
        Statement rows(app_.dbConn(), userListSql);
        FillList(userlist, rows);
    });
}

void Users::AddButton_Click() {
    const QString name = User->text();
    if (name.trimmed().isEmpty() || app_.dialogs().attempt([&] { addUser(app_.dbConn(), name); }))
        requery();
}

void Users::openSelectedUser() {
    if (selectedId(userlist) < 0)
        return;
    UserPassages *passages = app_.userPassages();
    passages->show();
    passages->SetCurrentUser(userlist->currentItem()->text(), selectedId(userlist));
    hide();
}

void Users::DeleteSelectedUser() {
    const qint64 id = selectedId(userlist);
    if (id >= 0 && app_.dialogs().attempt([&] { deleteUser(app_.dbConn(), id); }))
        requery();
}

bool Users::eventFilter(QObject *watched, QEvent *event) {
    if (watched == userlist && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            openSelectedUser();
            return true;
        }
    }
    if (watched == userlist && event->type() == QEvent::KeyRelease) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Delete && !(key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) &&
            selectedId(userlist) >= 0 &&
            app_.dialogs().confirm(QStringLiteral(
                "Are you sure you want to delete this user and all associated passages?")))
            DeleteSelectedUser();
    }
    return ProgramWindow::eventFilter(watched, event);
}
