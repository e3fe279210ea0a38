#include "app/restorecommand.h"

#include "core/clock.h"
#include "core/error.h"
#include "core/settings.h"
#include "db/restore.h"
#include "gui/users/restorebackup.h"

#include <QFileInfo>
#include <cstdio>

namespace {
void print(FILE *stream, const QString &text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
}

int listCopies(const QString &database) {
    const QList<BackupListing> listing = listBackups(database);
    if (listing.isEmpty()) {
        print(stdout, QStringLiteral("%1 has no backups yet.\n").arg(database));
        return 0;
    }
    print(stdout, QStringLiteral("Backups of %1, newest first; versekeep --restore NAME puts "
                                 "one in its place:\n")
                      .arg(database));
    for (const BackupListing &entry : listing)
        print(stdout,
              QStringLiteral("  %1  %2%3: %4\n")
                  .arg(QFileInfo(entry.copy.path).fileName(), backupTime(entry.copy.made),
                       entry.copy.apart ? QStringLiteral(" (dated after the clock)") : QString(),
                       entry.readable ? holdings(entry.users)
                                      : QStringLiteral("does not open, cannot be restored")));
    return 0;
}
} // namespace

int restoreCommand(const QString &file) {
    const QString named = Settings::databaseLocation().filePath();
    const QString database = named.isEmpty() ? defaultDatabaseFile() : named;
    try {
        if (file.isEmpty())
            return listCopies(database);
        const QString inFolder = backupFolder(database) + '/' + file;
        const QString copy = !QFileInfo::exists(file) && QFileInfo::exists(inFolder) ? inFolder : file;
        const RestoreReport report = restoreBackup(database, copy, SystemClock().now());
        print(stdout,
              QStringLiteral("Restored %1%2 into %3.\n")
                  .arg(report.restored,
                       report.made.isValid()
                           ? QStringLiteral(", the backup of %1,").arg(backupTime(report.made))
                           : QString(),
                       report.database));
        print(stdout, QStringLiteral("It holds %1.\n").arg(holdings(report.users)));
        if (report.journalSettled)
            print(stdout, QStringLiteral("A journal left by a save that never finished was "
                                         "settled first.\n"));
        if (!report.before.isEmpty())
            print(stdout, QStringLiteral("The database as it was is kept as %1.\n").arg(report.before));
        else if (!report.unreadableBefore.isEmpty())
            print(stdout, QStringLiteral("The database as it was did not open with Versekeep's "
                                         "key; it is kept as %1.\n")
                              .arg(report.unreadableBefore));
        return 0;
    } catch (const Error &error) {
        print(stderr, QStringLiteral("Nothing was restored. %1\n").arg(error.reportText()));
        return 1;
    }
}
