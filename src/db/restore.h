#pragma once

#include "db/backup.h"

#include <QDateTime>
#include <QList>
#include <QString>

class Database;

// The users in name order, each with their number of passages.
QList<UserSummary> usersAndPassages(Database &db);

// Every copy of the database (backupCopies), newest first, with the users and passages
// read from the copy itself.
QList<BackupListing> listBackups(const QString &databasePath);

struct RestoreReport {
    QString database;  // the file replaced
    QString restored;  // the copy now in its place
    QDateTime made;    // when that copy was made, by its name; invalid for another name
    QList<UserSummary> users; // what the database holds now
    QString before;    // a backup of the database as it was; empty when there was none
    QString unreadableBefore; // the database as it was, moved aside: it did not open with the key
    bool journalSettled = false; // an unfinished save had left its journal, settled first
};

// Puts a copy in the database's place; the command is the request, nothing is asked. The
// copy is refused (BadInput), with nothing changed, unless it opens with the key, has
// Versekeep's tables and passes integrity_check. Refused (SQLITE_BUSY) while a running copy
// of the program has the database open: a program that restores closes its own connection
// and lets its backup finish first. The database as it was is backed up first, its journal
// settled; then the copy's bytes, synced, take its name in one rename, and no journal of
// the old file is left to touch them.
RestoreReport restoreBackup(const QString &databasePath, const QString &copyPath,
                            const QDateTime &now);
