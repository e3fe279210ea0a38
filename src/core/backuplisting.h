#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

// The backups as a restore lists them: read by the database layer, shown by the restore
// window and the command line.

// A user of a database and the number of passages they have.
struct UserSummary {
    QString name;
    int passages = 0;
    bool operator==(const UserSummary &) const = default;
};

// A copy in the backups folder.
struct BackupCopy {
    QString path;
    QDateTime made;     // what its name says
    bool apart = false; // dated after the clock when it was last looked at
};

struct BackupListing {
    BackupCopy copy;
    bool readable = false; // opens with the key and has Versekeep's tables
    QList<UserSummary> users;
};
