#include "app/settings.h"

#include "db/error.h"

#include <QCoreApplication>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <sqlite3.h>

DatabaseLocation readDatabaseLocation() {
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Tarnholm"));
    settings.beginGroup(QStringLiteral("versekeep"));
    return {settings.value(QStringLiteral("dbPath")).toString(),
            settings.value(QStringLiteral("dbName")).toString()};
}

QString settingsFile() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Tarnholm"))
        .fileName();
}

bool recordDatabaseLocation(const DatabaseLocation &location) {
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Tarnholm"));
    settings.beginGroup(QStringLiteral("versekeep"));
    bool wrote = false;
    for (const auto &[key, value] : {std::pair{QStringLiteral("dbPath"), location.dbPath},
                                     std::pair{QStringLiteral("dbName"), location.dbName}}) {
        if (settings.value(key).toString().isEmpty()) {
            settings.setValue(key, value);
            wrote = true;
        }
    }
    settings.sync();
    if (settings.status() != QSettings::NoError)
        throw Error(Error::FileSystem,
                    QStringLiteral("cannot write the settings file %1").arg(settings.fileName()));
    return wrote;
}

void placeHelpFile(const DatabaseLocation &location) {
    // Installed beside the programs, or, running from the build, the one the build made.
    QString shipped = QCoreApplication::applicationDirPath() + '/' +
                      QStringLiteral(VERSEKEEP_HELP_FILE_FROM_BINDIR);
    if (!QFile::exists(shipped))
        shipped = QStringLiteral(VERSEKEEP_BUILT_HELP_FILE);
    const QString target = location.helpFilePath();
    if (!QFile::exists(target))
        QFile::copy(shipped, target);
}

QString defaultDatabaseFile() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/versekeep/versekeep.db");
}

Database openDatabase(const DatabaseLocation &location) {
    const QString path = location.filePath();
    const auto where = [&](const QString &problem) {
        return QStringLiteral("%1: %2\nThe settings file %3 names it (dbPath and dbName); "
                              "versekeep-makedb makes a new one.")
            .arg(problem, path, settingsFile());
    };
    if (path.isEmpty())
        throw Error(SQLITE_CANTOPEN,
                    QStringLiteral("No database is named: dbPath and dbName are not set in %1. "
                                   "versekeep-makedb makes one and sets them.")
                        .arg(settingsFile()));
    Database db;
    try {
        db = Database(path);
        Statement tables(db, "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND "
                             "lower(name) IN ('users', 'passages', 'passageverses', 'kjv')");
        if (tables.next() && tables.integer(0) != 4)
            throw Error(SQLITE_NOTADB,
                        QStringLiteral("this is not a Versekeep database: it lacks its tables"));
    } catch (const Error &error) {
        throw Error(error.number(), where(error.description()));
    }
    return db;
}
