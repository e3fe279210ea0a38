#pragma once

#include "core/backuplisting.h"
#include "db/database.h"
#include "db/open.h"
#include "gui/windowcontext.h"

#include <QObject>
#include <QPointer>
#include <optional>

class QThread;

class Desktop;
class frmAbout;
class ProgressWindow;
class Quizzing;
class Users;
class UserPassages;

// The program's one connection, its start and its end, and the windows, each made the
// first time it is needed.
class Application : public QObject, public Navigation {
    Q_OBJECT
public:
    Application(Dialogs &dialogs, Clock &clock, Desktop &desktop);
    ~Application() override;

    // Opens the database named by the settings and shows the user list. On any
    // failure: one error report, no window, ExitProgram, false.
    bool Main();
    void CloseDatabase();

    void showUsers() override;
    void showPassages(const QString &userName, qint64 userId) override;
    void returnToPassages() override;
    void startQuiz(const QString &userName, qint64 userId) override;
    void showProgress(const QString &userName, qint64 userId) override;
    void showHelp() override;
    void showAbout() override;
    void showBackups() override;
    // Closes every window, then the database. Safe to call again while it runs.
    void ExitProgram() override;

    Database &dbConn() { return dbConn_; }
    const QString &HelpFilePath() const { return helpFilePath_; }

Q_SIGNALS:
    // Everything is closed: the program may end.
    void finished();

private:
    WindowContext context() { return {dbConn_, dialogs_, clock_}; }
    // Opens the database at location_, marked in use.
    void openConnection();
    // Puts the backup in the database's place, if the learner agrees; every window that
    // showed the file before is made afresh from the file after.
    void restore(const BackupListing &backup);
    // The database the settings name, or else the default one, made at the first start from
    // the Bible the learner chooses and then recorded in the settings. None when the
    // learner left instead.
    std::optional<DatabaseLocation> databaseLocation();
    // Today's backup, made beside the user list rather than before it.
    void startBackup(const QString &databasePath);
    Users *users();
    UserPassages *userPassages();
    Quizzing *quizzing();
    ProgressWindow *progress();
    // What a window tells, an open progress window shows.
    void refreshProgress();

    Dialogs &dialogs_;
    Clock &clock_;
    Desktop &desktop_;
    Database dbConn_;
    DatabaseLocation location_;
    QString helpFilePath_;
    bool exiting_ = false;
    bool toldNoHelpViewer_ = false;
    QThread *backup_ = nullptr;
    QPointer<frmAbout> about_;
    QPointer<ProgressWindow> progress_;
    QPointer<Quizzing> quizzing_;
    QPointer<UserPassages> userPassages_;
    QPointer<Users> users_;
};

// The graphics the question page draws with, once a run, before its first window: the
// context its engine shares, and how Qt Quick draws it.
void prepareQuestionPageGraphics();
