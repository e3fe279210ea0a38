#pragma once

class Database;

// Creates every table of schema.sql in an empty database, in one transaction.
void createSchema(Database &db);
