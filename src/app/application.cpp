#include "app/application.h"

#include "core/clock.h"
#include "db/backup.h"
#include "gui/about/about.h"
#include "gui/desktop.h"
#include "gui/dialogs.h"
#include "gui/passages/userpassages.h"
#include "gui/progress/progresswindow.h"
#include "gui/quiz/quizzing.h"
#include "gui/users/users.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QProgressDialog>
#include <QThread>

Application::Application(Dialogs &dialogs, Clock &clock, Desktop &desktop)
    : dialogs_(dialogs), clock_(clock), desktop_(desktop) {}

Application::~Application() {
    if (backup_)
        backup_->wait();
    delete backup_;
    delete about_;
    delete progress_;
    delete quizzing_;
    delete userPassages_;
    delete users_;
}

bool Application::Main() {
    try {
        const DatabaseLocation location = firstStartLocation(Settings::databaseLocation());
        helpFilePath_ = location.helpFilePath();
        dbConn_ = openDatabase(location);
        placeHelpFile(location);
        // Waiting for another copy of the program to finish its save shows as a busy cursor.
        dbConn_.setBusyHook([](bool waiting) {
            if (waiting)
                QGuiApplication::setOverrideCursor(Qt::WaitCursor);
            else
                QGuiApplication::restoreOverrideCursor();
        });
        showUsers();
        startBackup(location.filePath());
        return true;
    } catch (const Error &error) {
        dialogs_.errorReport(error);
        ExitProgram();
        return false;
    }
}

DatabaseLocation Application::firstStartLocation(const DatabaseLocation &location) {
    if (!location.filePath().isEmpty())
        return location;
    // Nothing named yet, as at the first start from the desktop's menu: the default database,
    // made as scripts/run makes it when it is not there.
    const QString file = defaultDatabaseFile();
    const QString makedb =
        QCoreApplication::applicationDirPath() + QStringLiteral("/versekeep-makedb");
    if (!QFile::exists(file) && QFileInfo(makedb).isExecutable()) {
        QProgressDialog progress(
            tr("Making your Versekeep database from the King James Version..."), QString(), 0, 0);
        progress.setWindowTitle(tr("Versekeep"));
        progress.setMinimumDuration(0);
        progress.show();
        QProcess process;
        QEventLoop wait;
        connect(&process, &QProcess::finished, &wait, &QEventLoop::quit);
        process.start(makedb, {});
        if (process.waitForStarted())
            wait.exec();
        if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
            throw Error(Error::FileSystem,
                        tr("versekeep-makedb could not make the database: %1")
                            .arg(QString::fromLocal8Bit(process.readAllStandardError()).trimmed()));
    }
    const QFileInfo made(file);
    return made.exists() ? DatabaseLocation{made.absolutePath() + '/', made.fileName()} : location;
}

void Application::startBackup(const QString &databasePath) {
    backup_ = QThread::create([this, databasePath, now = clock_.now()] {
        try {
            // A clock gone wrong, a file in the folder that is no copy: told once.
            const QString notes = backUpDatabase(databasePath, now).notes();
            if (!notes.isEmpty())
                QMetaObject::invokeMethod(
                    this, [this, notes] { dialogs_.message(notes); }, Qt::QueuedConnection);
        } catch (const Error &error) {
            const Error report =
                error.retold(tr("Today's backup of the database was not made; your work is "
                                "safe and Versekeep goes on. %1")
                                 .arg(error.description()));
            QMetaObject::invokeMethod(
                this, [this, report] { dialogs_.errorReport(report); }, Qt::QueuedConnection);
        }
    });
    backup_->start(QThread::LowPriority);
}

Users *Application::users() {
    if (!users_)
        users_ = new Users(context(), *this);
    return users_;
}

UserPassages *Application::userPassages() {
    if (!userPassages_) {
        userPassages_ = new UserPassages(context(), *this);
        connect(userPassages_, &UserPassages::passageAdded, this, &Application::refreshProgress);
        connect(userPassages_, &UserPassages::passageDeleted, this,
                &Application::refreshProgress);
    }
    return userPassages_;
}

Quizzing *Application::quizzing() {
    if (!quizzing_) {
        quizzing_ = new Quizzing(context(), *this);
        connect(quizzing_, &Quizzing::pageJudged, this, &Application::refreshProgress);
    }
    return quizzing_;
}

ProgressWindow *Application::progress() {
    if (!progress_)
        progress_ = new ProgressWindow(context());
    return progress_;
}

void Application::showUsers() { users()->show(); }

void Application::returnToPassages() { userPassages()->show(); }

void Application::startQuiz(const QString &userName, qint64 userId) {
    Quizzing *window = quizzing();
    window->show();
    window->FormSetup(userName, userId);
}

void Application::showPassages(const QString &userName, qint64 userId) {
    UserPassages *window = userPassages();
    window->show();
    window->SetCurrentUser(userName, userId);
    // An open progress window follows whoever's passages are open.
    if (progress_ && progress_->isVisible())
        progress_->showUser(userName, userId);
}

void Application::showProgress(const QString &userName, qint64 userId) {
    ProgressWindow *window = progress();
    window->showUser(userName, userId);
    // Beside the one window of the program on show, which asked for it.
    if (!window->isVisible())
        window->placeBeside(quizzing_ && quizzing_->isVisible()
                                ? static_cast<QWidget *>(quizzing_.data())
                                : userPassages_.data());
    window->show();
    window->raise();
    window->activateWindow();
}

void Application::refreshProgress() {
    if (progress_ && progress_->isVisible())
        progress_->refresh();
}

void Application::showHelp() {
    if (desktop_.openHelp(helpFilePath_) || std::exchange(toldNoHelpViewer_, true))
        return;
    dialogs_.information(tr("Help"), tr("No help viewer could be started. The help is the file "
                                        "%1; the program xchm (Debian package xchm) shows it.")
                                         .arg(helpFilePath_));
}

void Application::showAbout() {
    if (!about_)
        about_ = new frmAbout(desktop_);
    about_->show();
    about_->raise();
    about_->activateWindow();
}

void Application::ExitProgram() {
    if (exiting_)
        return;
    exiting_ = true;
    // A window may be mid-way through its own close request: let Qt finish it
    // before the window goes.
    for (QWidget *window : {static_cast<QWidget *>(quizzing_.data()),
                            static_cast<QWidget *>(userPassages_.data()),
                            static_cast<QWidget *>(users_.data()),
                            static_cast<QWidget *>(about_.data()),
                            static_cast<QWidget *>(progress_.data())}) {
        if (window) {
            window->close();
            window->deleteLater();
        }
    }
    CloseDatabase();
    if (backup_)
        backup_->wait();
    Q_EMIT finished();
}

void Application::CloseDatabase() {
    try {
        dbConn_.close();
    } catch (const Error &error) {
        dialogs_.errorReport(error);
    }
}
