#include "app/application.h"

#include "core/clock.h"
#include "core/partfile.h"
#include "db/backup.h"
#include "db/restore.h"
#include "gui/about/about.h"
#include "gui/desktop.h"
#include "gui/dialogs.h"
#include "gui/firststart/firststart.h"
#include "gui/passages/userpassages.h"
#include "gui/progress/progresswindow.h"
#include "gui/quiz/quizzing.h"
#include "gui/users/restorebackup.h"
#include "gui/users/users.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QQuickWindow>
#include <QRegularExpression>
#include <QThread>
#include <malloc.h>
#include <optional>
#include <utility>
#include <sqlite3.h>

// Qt's own, exported though in none of its headers: what Qt::AA_ShareOpenGLContexts does.
void qt_gl_set_global_share_context(QOpenGLContext *context);

// The question page's engine draws through a graphics context that it shares with the
// windows. Qt::AA_ShareOpenGLContexts would make it while the application is made, loading
// the graphics driver into every start (a tenth of a second under software rendering):
// made here, it costs only a run that quizzes, just before the engine itself loads.
// The page reaches the screen through a Qt Quick scene. Where a GPU draws, it keeps GL; where
// the GL draws on the processor all the same (Mesa's llvmpipe or softpipe, as behind Xvfb)
// or there is none, it takes Qt Quick's software backend, which redraws the quiz window in
// a fraction of the time. QT_QUICK_BACKEND or QSG_RHI_BACKEND set by the user is left alone.
void prepareQuestionPageGraphics() {
    static bool prepared = false;
    if (std::exchange(prepared, true))
        return;
    QOpenGLContext *shared = QOpenGLContext::globalShareContext();
    if (!shared) {
        shared = new QOpenGLContext; // for the whole run: the engine holds on to it
        shared->setFormat(QSurfaceFormat::defaultFormat());
        shared->create();
        qt_gl_set_global_share_context(shared);
    }
    if (qEnvironmentVariableIsSet("QT_QUICK_BACKEND") || qEnvironmentVariableIsSet("QSG_RHI_BACKEND"))
        return;
    QOffscreenSurface surface;
    surface.create();
    QByteArray renderer;
    if (shared->isValid() && shared->makeCurrent(&surface)) {
        renderer = reinterpret_cast<const char *>(shared->functions()->glGetString(GL_RENDERER));
        shared->doneCurrent();
    }
    static const QRegularExpression software(QStringLiteral("llvmpipe|softpipe|swrast|software"),
                                             QRegularExpression::CaseInsensitiveOption);
    if (renderer.isEmpty() || software.match(QString::fromLatin1(renderer)).hasMatch())
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software); // read by the first scene
}

Application::Application(Dialogs &dialogs, Clock &clock, Desktop &desktop)
    : dialogs_(dialogs), clock_(clock), desktop_(desktop) {
    // A whole book's question page takes megabytes and is made anew at every Submit. Freed,
    // such blocks stay with the program for the next page rather than going back to the
    // system, whose fresh memory costs more to touch than the page does to build.
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 64 * 1024 * 1024);
}

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
        const std::optional<DatabaseLocation> found = databaseLocation();
        if (!found) {
            ExitProgram();
            return false;
        }
        location_ = *found;
        helpFilePath_ = location_.helpFilePath();
        openConnection();
        placeHelpFile(location_);
        showUsers();
        startBackup(location_.filePath());
        return true;
    } catch (const Error &error) {
        dialogs_.errorReport(error);
        ExitProgram();
        return false;
    }
}

void Application::openConnection() {
    dbConn_ = openDatabase(location_);
    // Waiting for another copy of the program to finish its save shows as a busy cursor.
    dbConn_.setBusyHook([](bool waiting) {
        if (waiting)
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QGuiApplication::restoreOverrideCursor();
    });
}

std::optional<DatabaseLocation> Application::databaseLocation() {
    const DatabaseLocation named = Settings::databaseLocation();
    if (!named.filePath().isEmpty())
        return named;
    // Nothing named yet, as at the first start from the desktop's menu.
    const QFileInfo file(defaultDatabaseFile());
    const DatabaseLocation location{file.absolutePath() + '/', file.fileName()};
    if (file.exists())
        return location;
    if (!QDir().mkpath(location.dbPath))
        throw Error(Error::FileSystem,
                    tr("The folder %1 for Versekeep's database could not be made.")
                        .arg(location.dbPath));
    // A first start killed while it built left its part: gone, whatever this one does.
    removeDeadWritersParts(location.dbPath,
                           [&](const QString &name) { return name == location.dbName; });
    if (!makeFirstDatabase(dialogs_, location.filePath()))
        return std::nullopt;
    Settings::recordDatabaseLocation(location);
    return location;
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
        prepareQuestionPageGraphics();
        quizzing_ = new Quizzing(context(), *this);
        // Told what the page wrote, the progress window reads that alone again.
        connect(quizzing_, &Quizzing::pageJudged, this, [this] {
            if (progress_ && progress_->isVisible())
                progress_->refreshSoon(quizzing_->quiz().state().written);
        });
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
        progress_->refreshSoon();
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
        about_ = new frmAbout(context(), desktop_);
    about_->show();
    about_->raise();
    about_->activateWindow();
}

void Application::showBackups() {
    // Each copy is opened with the key to read what it holds.
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const QList<BackupListing> backups = listBackups(location_.filePath());
    QGuiApplication::restoreOverrideCursor();
    if (backups.isEmpty())
        return dialogs_.message(tr("There is no backup of %1 yet. Versekeep makes one each day it "
                                   "starts, in the folder %2.")
                                    .arg(location_.filePath(), backupFolder(location_.filePath())));
    auto *window = new RestoreBackup(backups, users());
    connect(window, &RestoreBackup::chosen, this, &Application::restore);
    window->open();
}

void Application::restore(const BackupListing &backup) {
    if (exiting_ ||
        !dialogs_.confirm(tr("Put the backup of %1 in the place of your database? It holds %2.\n\n"
                             "Whatever was done since then is lost; your database as it is now "
                             "is backed up first.")
                              .arg(backupTime(backup.copy.made), holdings(backup.users))))
        return;
    // Nothing may go on showing rows of the file that goes: these windows are made afresh.
    delete quizzing_;
    delete userPassages_;
    delete progress_;
    // The restore refuses while the file is in use, by this program too: its backup ends,
    // its connection closes, and with it goes its mark.
    if (backup_)
        backup_->wait();
    std::optional<Error> failure;
    RestoreReport report;
    try {
        dbConn_.close();
        try {
            report = restoreBackup(location_.filePath(), backup.copy.path, clock_.now());
        } catch (const Error &error) {
            if (!error.isDatabase(SQLITE_BUSY))
                throw;
            throw error.retold(tr("Another copy of Versekeep has the database open, perhaps on "
                                  "another screen or under another account. Quit it (every "
                                  "window), then restore again."));
        }
    } catch (const Error &error) {
        failure = error.retold(tr("Nothing was restored. %1").arg(error.description()));
    }
    try {
        if (!dbConn_.isOpen())
            openConnection();
    } catch (const Error &error) {
        dialogs_.errorReport(error);
        return ExitProgram();
    }
    users()->requery();
    showUsers();
    if (failure)
        return dialogs_.errorReport(*failure);
    dialogs_.message(tr("The backup of %1 is restored: Versekeep holds %2.\n\nYour database as it "
                        "was is kept as %3.")
                         .arg(backupTime(backup.copy.made), holdings(report.users), report.before));
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
