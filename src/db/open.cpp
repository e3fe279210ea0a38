#include "db/open.h"

#include <sqlite3.h>

Database openDatabase(const DatabaseLocation &location) {
    const QString path = location.filePath();
    const auto where = [&](const QString &problem) {
        return QStringLiteral("%1: %2\nThe settings file %3 names it (dbPath and dbName); "
                              "versekeep-makedb makes a new one.")
            .arg(problem, path, Settings::fileName());
    };
    if (path.isEmpty())
        throw Error::database(SQLITE_CANTOPEN,
                    QStringLiteral("No database is named: dbPath and dbName are not set in %1. "
                                   "versekeep-makedb makes one and sets them.")
                        .arg(Settings::fileName()));
    Database db;
    try {
        db = Database(path);
        Statement tables(db, "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND "
                             "lower(name) IN ('users', 'passages', 'passageverses', 'kjv')");
        if (tables.next() && tables.integer(0) != 4)
            throw Error::database(SQLITE_NOTADB,
                        QStringLiteral("this is not a Versekeep database: it lacks its tables"));
    } catch (const Error &error) {
        throw error.retold(where(error.description()));
    }
    return db;
}
