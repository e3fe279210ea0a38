#pragma once

#include "core/settings.h"
#include "db/database.h"

// Opens the database the settings name. A failure's description says which file was
// tried and which settings file names it; a file without Versekeep's tables is refused.
Database openDatabase(const DatabaseLocation &location);
