#pragma once

#include <QDateTime>
#include <QString>
#include <functional>

// Daily encrypted copies of the database, in a folder "backups" beside it, named with the
// date and time: versekeep.db gives backups/versekeep-2026-12-06-103000.db.

// Makes today's copy unless one exists: the same key, made with sqlcipher_export (the
// backup API would write it unencrypted), checked with integrity_check and only then put
// in place under its name. Then keeps the newest copy of each of the last 7 days that have
// one and of each of the 4 weeks before them, and removes older copies. Returns the new
// copy's path, or an empty text when today's exists. Throws on failure, leaving no part
// of a copy behind. beforeCheck, when given, sees the finished copy before its check: a
// test's way to spoil it.
QString backUpDatabase(const QString &databasePath, const QDateTime &now,
                       const std::function<void(const QString &copy)> &beforeCheck = {});

// The folder of the copies.
QString backupFolder(const QString &databasePath);
