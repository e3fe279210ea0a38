#pragma once

#include "db/database.h"

#include <QString>

// Where the database lives: group "versekeep" of the "Tarnholm" settings
// ($XDG_CONFIG_HOME/Tarnholm.ini). Missing keys read as empty.
struct DatabaseLocation {
    QString dbPath; // with its trailing separator: the name is appended as it is
    QString dbName;

    QString filePath() const { return dbPath + dbName; }
    QString helpFilePath() const { return dbPath + QStringLiteral("versekeep.chm"); }
};

DatabaseLocation readDatabaseLocation();
// The settings file itself, to name in messages.
QString settingsFile();
// Records the keys that are not set yet; returns true when it wrote anything.
bool recordDatabaseLocation(const DatabaseLocation &location);
// $XDG_DATA_HOME/versekeep/versekeep.db
QString defaultDatabaseFile();

// Puts the help file that came with the program beside the database when none is there
// yet; one already there is never replaced.
void placeHelpFile(const DatabaseLocation &location);

// Opens the database the settings name. A failure's description says which file was
// tried and which settings file names it; a file without Versekeep's tables is refused.
Database openDatabase(const DatabaseLocation &location);
