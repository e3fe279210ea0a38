#pragma once

#include <QString>

class Clock;
class Database;
class Dialogs;

// What a window works with; the application owns all three.
struct WindowContext {
    Database &db;
    Dialogs &dialogs;
    const Clock &clock;
};

// Where a window leads next. The application implements it; a window never reaches
// another window or the application directly. What happened in a window, it tells by
// its own signals.
class Navigation {
public:
    virtual ~Navigation() = default;
    virtual void showUsers() = 0;
    // The passage window of one user.
    virtual void showPassages(const QString &userName, qint64 userId) = 0;
    // The passage window as it was left.
    virtual void returnToPassages() = 0;
    // A new quiz of the user's due passages.
    virtual void startQuiz(const QString &userName, qint64 userId) = 0;
    // The progress window, for this user: one, not modal, read afresh.
    virtual void showProgress(const QString &userName, qint64 userId) = 0;
    // The help file, at its first topic.
    virtual void showHelp() = 0;
    virtual void showAbout() = 0;
    // The backups of the database, to restore one.
    virtual void showBackups() = 0;
    // Closes every window, then the database.
    virtual void ExitProgram() = 0;
};
