#pragma once

#include <QString>

class Database;

// Users in name order, letter case ignored (the column's collation): id, name.
extern const char *const userListSql;

// Stores the name exactly as typed and returns the new id.
qint64 addUser(Database &db, const QString &name);
// Removes the user with its verse records and passages, all or nothing.
void deleteUser(Database &db, qint64 userId);
