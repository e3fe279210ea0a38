#pragma once

#include "db/database.h"

#include <optional>

// Every user in name order, letter case ignored, then by id.
QList<ListEntry> userList(Database &db);

// Stores the name exactly as typed, blanks around it included, and returns the new id.
// A name of blanks only is no name: nothing is stored.
std::optional<qint64> addUser(Database &db, const QString &name);
// Removes the user with its verse records and passages, all or nothing.
void deleteUser(Database &db, qint64 userId);
