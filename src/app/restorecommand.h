#pragma once

#include <QString>

// versekeep --restore FILE: puts a backup in the database's place with no window and no
// question, the command being the request, and prints what it did. Without FILE it lists
// the backups. FILE may be a path or the name of a copy in the backups folder. Returns the
// exit code.
int restoreCommand(const QString &file);
