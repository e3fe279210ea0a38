#include "db/open.h"

#include "db/inuse.h"

#include <QFileInfo>
#include <sqlite3.h>

namespace {
// How long a start waits for a restore into the same file to finish.
constexpr int restoreWaitMs = 15000;
} // namespace

bool hasVersekeepTables(Database &db, const char *schema) {
    for (const char *table : {"Users", "Passages", "PassageVerses", "kjv"}) {
        // Without a column it asks only whether the table is there; a view is none.
        const int rc = sqlite3_table_column_metadata(db.handle(), schema, table, nullptr, nullptr,
                                                     nullptr, nullptr, nullptr, nullptr);
        if (rc == SQLITE_ERROR)
            return false;
        if (rc != SQLITE_OK)
            db.fail(rc);
    }
    return true;
}

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
        // Marked before it is opened: a restore that is replacing the file finishes first,
        // and the file opened is the one it put there.
        std::unique_ptr<InUse> mark;
        if (QFileInfo::exists(path) && !(mark = InUse::take(path, InUse::Shared, restoreWaitMs)))
            throw Error::database(SQLITE_BUSY,
                                  QStringLiteral("a backup is still being restored into it; "
                                                 "start Versekeep again once that is done"));
        db = Database(path);
        if (!hasVersekeepTables(db))
            throw Error::database(SQLITE_NOTADB,
                        QStringLiteral("this is not a Versekeep database: it lacks its tables"));
        db.holdWhileOpen(std::move(mark));
    } catch (const Error &error) {
        throw error.retold(where(error.description()));
    }
    return db;
}
