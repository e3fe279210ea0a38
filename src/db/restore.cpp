#include "db/restore.h"

#include "core/partfile.h"
#include "db/database.h"
#include "db/inuse.h"
#include "db/open.h"

#include <QFile>
#include <QFileInfo>
#include <optional>
#include <sqlite3.h>

namespace {
void copyBytes(const QString &from, const QString &to) {
    QFile source(from);
    QFile target(to);
    if (!source.open(QIODevice::ReadOnly))
        throw Error(Error::BadInput,
                    QStringLiteral("cannot read %1: %2").arg(from, source.errorString()));
    if (!target.open(QIODevice::WriteOnly))
        throw Error(Error::FileSystem,
                    QStringLiteral("cannot write %1: %2").arg(to, target.errorString()));
    while (!source.atEnd()) {
        const QByteArray block = source.read(1 << 20);
        if (source.error() != QFileDevice::NoError || target.write(block) != block.size())
            throw Error(Error::FileSystem, QStringLiteral("cannot copy %1 to %2: %3")
                                               .arg(from, to,
                                                    source.error() != QFileDevice::NoError
                                                        ? source.errorString()
                                                        : target.errorString()));
    }
    if (!target.flush())
        throw Error(Error::FileSystem,
                    QStringLiteral("cannot write %1: %2").arg(to, target.errorString()));
}

// The part must be a whole Versekeep database before anything else is touched.
void checkCopy(const QString &part, const QString &copyPath) {
    const auto refuse = [&](const QString &why) {
        return Error(Error::BadInput,
                     QStringLiteral("%1 is not a Versekeep backup: %2").arg(copyPath, why));
    };
    std::optional<Database> copy;
    try {
        copy.emplace(part);
    } catch (const Error &error) {
        if (error.isDatabase(SQLITE_NOTADB))
            throw refuse(QStringLiteral("it does not open with Versekeep's key"));
        throw;
    }
    if (!hasVersekeepTables(*copy))
        throw refuse(QStringLiteral("it lacks Versekeep's tables"));
    Statement check(*copy, "PRAGMA integrity_check");
    const QString verdict = check.next() ? check.text(0) : QString();
    if (verdict != QLatin1String("ok"))
        throw refuse(QStringLiteral("it is damaged (%1)").arg(verdict));
}

// The database as it is, opened with the key: opening rolls a hot journal back into it.
// Empty when it does not open so, or is not Versekeep's.
std::optional<Database> settled(const QString &target) {
    std::optional<Database> live;
    try {
        live.emplace(target);
        if (hasVersekeepTables(*live))
            return live;
    } catch (const Error &error) {
        if (!error.isDatabase(SQLITE_NOTADB) && !error.isDatabase(SQLITE_CORRUPT))
            throw;
    }
    return std::nullopt;
}
} // namespace

QList<UserSummary> usersAndPassages(Database &db) {
    Statement rows(db, "SELECT Users.Name, count(Passages.id) FROM Users LEFT JOIN Passages "
                       "ON Passages.UserID = Users.id GROUP BY Users.id "
                       "ORDER BY Users.Name, Users.id");
    QList<UserSummary> users;
    while (rows.next())
        users.append({rows.text(0), int(rows.integer(1))});
    return users;
}

QList<BackupListing> listBackups(const QString &databasePath) {
    QList<BackupListing> listing;
    for (const BackupCopy &copy : backupCopies(databasePath)) {
        BackupListing entry;
        entry.copy = copy;
        try {
            Database db(copy.path);
            entry.readable = hasVersekeepTables(db);
            if (entry.readable)
                entry.users = usersAndPassages(db);
        } catch (const Error &) {
            // Listed all the same, as a copy that cannot be restored.
        }
        listing.append(entry);
    }
    return listing;
}

RestoreReport restoreBackup(const QString &databasePath, const QString &copyPath,
                            const QDateTime &now) {
    RestoreReport report;
    report.database = InUse::databaseFile(databasePath);
    const QFileInfo copyInfo(copyPath);
    report.restored = copyInfo.absoluteFilePath();
    if (!copyInfo.isFile())
        throw Error(Error::BadInput, (copyInfo.exists() ? QStringLiteral("%1 is not a file")
                                                        : QStringLiteral("there is no file %1"))
                                         .arg(report.restored));
    if (copyInfo.canonicalFilePath() == report.database)
        throw Error(Error::BadInput, QStringLiteral("%1 is the database itself, not a backup of it")
                                         .arg(report.restored));
    const std::unique_ptr<InUse> alone = InUse::take(report.database, InUse::Alone, 0);
    if (!alone)
        throw Error::database(SQLITE_BUSY,
                              QStringLiteral("Versekeep is running with the database %1 open. "
                                             "Quit it (every window), then restore.")
                                  .arg(report.database));
    report.made = backupMadeAt(report.database, report.restored);

    const QFileInfo target(report.database);
    removeDeadWritersParts(target.absolutePath(),
                           [&](const QString &name) { return name == target.fileName(); });
    PartFile part(report.database);
    copyBytes(report.restored, part.path());
    checkCopy(part.path(), report.restored);

    const QString journal = report.database + QStringLiteral("-journal");
    report.journalSettled = QFileInfo::exists(journal);
    std::optional<Database> live;
    if (target.exists()) {
        live = settled(report.database);
        if (live)
            report.before = backUpNow(*live, report.database, now);
        else
            report.unreadableBefore = setAsideUnreadable(report.database, now);
    }
    // Held through the swap: a writer of the old file that is not the program waits.
    if (live)
        live->execute("BEGIN EXCLUSIVE");
    // Nothing can be writing the old file now: a journal still there is stale, and the new
    // file must never meet it.
    if (QFileInfo::exists(journal) && !QFile::remove(journal))
        throw Error(Error::FileSystem, QStringLiteral("cannot remove the stale journal %1").arg(journal));
    part.replace();
    // Its transaction wrote nothing, so it goes without a journal to touch.
    live.reset();
    Database result(report.database);
    report.users = usersAndPassages(result);
    return report;
}
