#include "app/settings.h"

#include "db/error.h"

#include <QSettings>
#include <QStandardPaths>

DatabaseLocation readDatabaseLocation() {
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Tarnholm"));
    settings.beginGroup(QStringLiteral("versekeep"));
    return {settings.value(QStringLiteral("dbPath")).toString(),
            settings.value(QStringLiteral("dbName")).toString()};
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

QString defaultDatabaseFile() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/versekeep/versekeep.db");
}
