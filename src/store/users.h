#pragma once

#include "db/database.h"

#include <optional>

// Every user in name order, letter case ignored, then by id.
QList<ListEntry> userList(Database &db);

// Stores the name exactly as typed, blanks around it included, and returns the new id.
// A name of blanks only is no name: nothing is stored. A name with a line break, a tab
// or another control character is refused (BadInput).
std::optional<qint64> addUser(Database &db, const QString &name);
// Removes the user with its verse records and passages, all or nothing.
void deleteUser(Database &db, qint64 userId);

// Inside a write on the user's behalf: throws DeletedElsewhere when another copy of the
// program has deleted the user, so that nothing is stored for nobody.
void requireUser(Database &db, qint64 userId);
