#pragma once

#include <QString>

// Where the database lives. dbPath keeps its trailing separator: the name is appended as it is.
struct DatabaseLocation {
    QString dbPath;
    QString dbName;

    QString filePath() const { return dbPath + dbName; }
    QString helpFilePath() const { return dbPath + QStringLiteral("versekeep.chm"); }
};

// The one owner of the settings files' groups and keys. The "Tarnholm" settings
// ($XDG_CONFIG_HOME/Tarnholm.ini, group "versekeep") name the database; the program reads
// them, and only a database just made (the first start, versekeep-makedb) fills in the keys
// it finds empty. Versekeep's own ($XDG_CONFIG_HOME/Versekeep.ini) keep what the program
// remembers between runs.
class Settings {
public:
    // Missing keys read as empty.
    static DatabaseLocation databaseLocation();
    // Records the keys that are not set yet; returns true when it wrote anything.
    static bool recordDatabaseLocation(const DatabaseLocation &location);
    // The settings file itself, to name in messages.
    static QString fileName();
    // The size of the question page's text in percent of normal: 100 until set.
    static int pageZoom();
    static void setPageZoom(int percent);
};

// $XDG_DATA_HOME/versekeep/versekeep.db
QString defaultDatabaseFile();

// Puts the help file that came with the program beside the database when none is there
// yet; one already there is never replaced.
void placeHelpFile(const DatabaseLocation &location);
