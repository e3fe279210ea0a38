#pragma once

#include "database.h"
#include "settings.h"

#include <QObject>
#include <QPointer>

class Clock;
class Dialogs;
class Users;
class UserPassages;

// The program's one connection, its start and its end, and the windows, each made
// the first time it is needed.
class Application : public QObject {
    Q_OBJECT
public:
    Application(Dialogs &dialogs, Clock &clock);
    ~Application() override;

    // Opens the database named by the settings and shows the user list. On any
    // failure: one error report, no window, ExitProgram, false.
    bool Main();
    // Closes every window, then the database. Safe to call again while it runs.
    void ExitProgram();
    void CloseDatabase();

    Database &dbConn() { return dbConn_; }
    Dialogs &dialogs() { return dialogs_; }
    Clock &clock() { return clock_; }
    const QString &dbPath() const { return location_.dbPath; }
    const QString &dbName() const { return location_.dbName; }
    const QString &HelpFilePath() const { return helpFilePath_; }
    bool exiting() const { return exiting_; }

    Users *users();
    UserPassages *userPassages();

    // Pages judged during this run.
    int numCorrect = 0;
    int numIncorrect = 0;

Q_SIGNALS:
    // Everything is closed: the program may end.
    void finished();

private:
    Dialogs &dialogs_;
    Clock &clock_;
    Database dbConn_;
    DatabaseLocation location_;
    QString helpFilePath_;
    bool exiting_ = false;
    QPointer<UserPassages> userPassages_;
    QPointer<Users> users_;
};
