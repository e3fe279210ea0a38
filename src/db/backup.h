#pragma once

#include "core/backuplisting.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

class Database;

// Daily encrypted copies of the database, in a folder "backups" beside it, named with the
// date and time: versekeep.db gives backups/versekeep-2026-12-06-103000.db. The folder is
// its owner's only, and so is every copy.

struct BackupReport {
    QString folder;
    QString made;           // the new copy; empty when today's was there
    QStringList setApart;   // copies dated after today, now in the folder's "future"
    QStringList unreadable; // files named like copies that are none, now in "unreadable"

    // What the learner should hear, or nothing. Each thing is told once: what it tells of
    // has been moved out of the way.
    QString notes() const;
};

// Makes today's copy unless one that opens with the key is there: the file's encrypted
// bytes, taken whole between two saves, so the same key (the backup API would write it
// unencrypted), checked with integrity_check and only then put in place under its name. Then keeps the newest copy of
// each of the last 7 days that have one and of each of the 4 weeks before them, and removes
// older copies, never the one just made. A copy dated after today says the clock is wrong,
// now or when it was made: it stands for no day and holds no place, kept apart in "future"
// until it is older than every copy the rotation keeps. A file named like a copy that does
// not open with the key is none: it goes into "unreadable". Throws on failure, leaving no
// part of a copy behind. beforeCheck, when given, sees the finished copy before its check:
// a test's way to spoil it.
BackupReport backUpDatabase(const QString &databasePath, const QDateTime &now,
                            const std::function<void(const QString &copy)> &beforeCheck = {});

// A checked copy of the open database made now, whatever copies today has: a restore keeps
// the database as it was before with this. Takes the next free second when now's name is
// taken. Returns its path.
QString backUpNow(Database &source, const QString &databasePath, const QDateTime &now);

// The folder of the copies.
QString backupFolder(const QString &databasePath);

// The copies in the folder and in its "future", newest first by their names.
QList<BackupCopy> backupCopies(const QString &databasePath);

// When a copy was made, by its name; invalid for a name that is not a copy's.
QDateTime backupMadeAt(const QString &databasePath, const QString &copyPath);

// Moves a database that does not open with the key, and its journal, into "unreadable"
// under a copy's name for now. Returns its new path.
QString setAsideUnreadable(const QString &databasePath, const QDateTime &now);

// True when the file opens with the key and has Versekeep's tables.
bool opensAsDatabase(const QString &path);
