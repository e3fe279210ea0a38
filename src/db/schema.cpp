#include "db/schema.h"

#include "db/database.h"

namespace {
const char *const schemaSql =
#include "schema.sql.inc"
    ;
}

void createSchema(Database &db) {
    Transaction transaction(db);
    db.execute(schemaSql);
    transaction.commit();
}
