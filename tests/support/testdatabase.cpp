#include "support/testdatabase.h"

#include "db/schema.h"

#include <QCryptographicHash>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTest>
#include <algorithm>
#include <ctime>
#include <sys/wait.h>
#include <unistd.h>

TestDatabase::TestDatabase() {
    db_ = Database::createNew(path());
    createSchema(db_);
}

TestDatabase::TestDatabase(const QString &copyFrom) {
    if (!QFile::copy(copyFrom, path()))
        qFatal("cannot copy the verse database %s", qPrintable(copyFrom));
    QFile::setPermissions(path(), QFile::ReadOwner | QFile::WriteOwner);
    db_ = Database(path());
}

TestDatabase TestDatabase::withBible() { return TestDatabase(QStringLiteral(VERSEKEEP_BIBLE_DB)); }

qint64 TestDatabase::count(const char *sql) {
    Statement query(db_, sql);
    return query.next() ? query.integer(0) : -1;
}

LocalZone::LocalZone(const char *zone) {
    qputenv("TZ", zone);
    tzset();
}

LocalZone::~LocalZone() {
    before.isEmpty() ? qunsetenv("TZ") : qputenv("TZ", before);
    tzset();
}

void isolateUserFolders() {
    static QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral("config"))));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.filePath(QStringLiteral("data"))));
    QStandardPaths::setTestModeEnabled(false);
}

int errorNumberOf(const std::function<void()> &action) {
    try {
        action();
    } catch (const Error &error) {
        return error.number();
    }
    return 0;
}

int forkChild(const std::function<void()> &work) {
    const pid_t child = ::fork();
    if (child == 0) // never back into the test: its folders are the parent's to remove
        ::_exit(std::min(errorNumberOf(work), 255));
    return child;
}

int waitForChild(int child) {
    int status = 0;
    return ::waitpid(child, &status, 0) == child && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

QByteArray fingerprint(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly)
               ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256)
               : QByteArray();
}

void pointSettingsAt(const QString &dbPath, const QString &dbName) {
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Tarnholm"));
    settings.clear();
    if (!dbPath.isNull()) {
        settings.setValue(QStringLiteral("versekeep/dbPath"), dbPath);
        settings.setValue(QStringLiteral("versekeep/dbName"), dbName);
    }
    settings.sync();
}
