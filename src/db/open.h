#pragma once

#include "core/settings.h"
#include "db/database.h"

// Opens the database the settings name, marked in use (db/inuse.h) while it is open. A
// failure's description says which file was tried and which settings file names it; a file
// without Versekeep's tables is refused.
Database openDatabase(const DatabaseLocation &location);

// True when the users', passages' and verses' tables are all there, in the main file or in
// the one attached under the schema's name.
bool hasVersekeepTables(Database &db, const char *schema = "main");
