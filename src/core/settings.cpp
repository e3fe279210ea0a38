#include "core/settings.h"

#include "core/error.h"

#include <QCoreApplication>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>

namespace {
const QString dbPathKey = QStringLiteral("dbPath");
const QString dbNameKey = QStringLiteral("dbName");
const QString pageZoomKey = QStringLiteral("quiz/pageZoom");

// The Tarnholm settings, opened at Versekeep's group.
class Tarnholm : public QSettings {
public:
    Tarnholm() : QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Tarnholm")) {
        beginGroup(QStringLiteral("versekeep"));
    }
};

// Versekeep's own, beside the Tarnholm file: what the program itself remembers.
QSettings own() {
    return {QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Versekeep")};
}
} // namespace

DatabaseLocation Settings::databaseLocation() {
    const Tarnholm settings;
    return {settings.value(dbPathKey).toString(), settings.value(dbNameKey).toString()};
}

bool Settings::recordDatabaseLocation(const DatabaseLocation &location) {
    Tarnholm settings;
    bool wrote = false;
    for (const auto &[key, value] :
         {std::pair{dbPathKey, location.dbPath}, std::pair{dbNameKey, location.dbName}}) {
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

QString Settings::fileName() { return Tarnholm().fileName(); }

int Settings::pageZoom() {
    return own().value(pageZoomKey, 100).toInt();
}

void Settings::setPageZoom(int percent) {
    own().setValue(pageZoomKey, percent);
}

QString defaultDatabaseFile() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/versekeep/versekeep.db");
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
