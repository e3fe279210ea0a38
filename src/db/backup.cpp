#include "db/backup.h"

#include "core/partfile.h"
#include "db/database.h"
#include "db/open.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr int dailyCopies = 7;
constexpr int weeklyCopies = 4;
const QString stampFormat = QStringLiteral("yyyy-MM-dd-HHmmss");
const QString futureFolder = QStringLiteral("future");
const QString unreadableFolder = QStringLiteral("unreadable");

// A copy's name for the database's file name, and the pattern that finds them.
struct Naming {
    QString base;
    QString suffix; // with its dot, or empty
    explicit Naming(const QString &databasePath) {
        const QFileInfo info(databasePath);
        base = info.completeBaseName();
        suffix = info.suffix().isEmpty() ? QString() : '.' + info.suffix();
    }
    QString name(const QDateTime &moment) const {
        return base + '-' + moment.toString(stampFormat) + suffix;
    }
    QDateTime madeAt(const QString &name) const {
        const QRegularExpressionMatch match = pattern().match(name);
        return match.hasMatch() ? QDateTime::fromString(match.captured(1), stampFormat) : QDateTime();
    }
    QRegularExpression pattern() const {
        return QRegularExpression(
            QStringLiteral("^%1-(\\d{4}-\\d{2}-\\d{2}-\\d{6})%2$")
                .arg(QRegularExpression::escape(base), QRegularExpression::escape(suffix)));
    }
};

// The copy's path for the moment, or for the first second after it whose name is free.
QString freePath(const QString &folder, const Naming &naming, QDateTime moment) {
    while (QFileInfo::exists(folder + '/' + naming.name(moment)))
        moment = moment.addSecs(1);
    return folder + '/' + naming.name(moment);
}

bool newerFirst(const BackupCopy &a, const BackupCopy &b) {
    return std::pair(a.made, a.path) > std::pair(b.made, b.path);
}

// Our copies in the folder, newest first.
QList<BackupCopy> copies(const QString &folder, const Naming &naming, bool apart = false) {
    QList<BackupCopy> found;
    for (const QString &name : QDir(folder).entryList(QDir::Files))
        if (const QDateTime made = naming.madeAt(name); made.isValid())
            found.append({folder + '/' + name, made, apart});
    std::sort(found.begin(), found.end(), newerFirst);
    return found;
}

QString errnoText() { return QString::fromLocal8Bit(std::strerror(errno)); }

// Owner only, whatever the umask. A folder an earlier version made open to every account
// is closed the next time a copy goes into it.
void makePrivateFolder(const QString &folder) {
    const QByteArray name = QFile::encodeName(folder);
    if (::mkdir(name.constData(), 0700) != 0 && errno != EEXIST)
        throw Error(Error::FileSystem,
                    QStringLiteral("cannot make the folder %1: %2").arg(folder, errnoText()));
    struct stat info {};
    if (::stat(name.constData(), &info) != 0 || !S_ISDIR(info.st_mode))
        throw Error(Error::FileSystem, QStringLiteral("cannot make the folder %1").arg(folder));
    if ((info.st_mode & 077) != 0 && info.st_uid == ::geteuid())
        ::chmod(name.constData(), 0700);
}

// Moves a file into a subfolder; false when it is gone, as when another copy of the
// program pruned it a moment ago.
bool moveInto(const QString &subfolder, const QString &path) {
    makePrivateFolder(subfolder);
    return QFile::exists(path) && ::rename(QFile::encodeName(path).constData(),
                                           QFile::encodeName(subfolder + '/' + QFileInfo(path).fileName())
                                               .constData()) == 0;
}

void exportInto(Database &source, const QString &file) {
    Statement(source, "ATTACH DATABASE ? AS backup KEY ?")
        .bindAll(file, QString::fromLatin1(Database::password))
        .run();
    try {
        Statement(source, "SELECT sqlcipher_export('backup')").run();
    } catch (const Error &) {
        // The export's failure is the one to tell; the source stays usable either way.
        try {
            source.execute("DETACH DATABASE backup");
        } catch (const Error &) {
        }
        throw;
    }
    source.execute("DETACH DATABASE backup");
}

// Exports, checks and puts the copy in place; FileExists when its name was taken meanwhile.
QString writeCopy(Database &source, const QString &target,
                  const std::function<void(const QString &copy)> &beforeCheck) {
    PartFile part(target);
    exportInto(source, part.path());
    if (beforeCheck)
        beforeCheck(part.path());
    {
        Database copy(part.path());
        Statement check(copy, "PRAGMA integrity_check");
        const QString verdict = check.next() ? check.text(0) : QString();
        if (verdict != QLatin1String("ok"))
            throw Error(Error::FileSystem,
                        QStringLiteral("the copy failed its check: %1").arg(verdict));
    }
    part.putInPlace();
    return part.target();
}

// Parts of copies that a program killed meanwhile began; another copy of the program may
// be making one right now, under its own process id.
void clearDeadParts(const QString &folder, const Naming &naming) {
    const QRegularExpression copyName = naming.pattern();
    removeDeadWritersParts(folder,
                           [&](const QString &name) { return copyName.match(name).hasMatch(); });
}

void prune(const QString &folder, const Naming &naming, BackupReport &report) {
    QSet<QDate> days;                // the days of the daily copies
    QSet<std::pair<int, int>> weeks; // every week seen, as year and week of the year
    int weekly = 0;
    QDateTime oldestKept;
    for (const BackupCopy &copy : copies(folder, naming)) {
        const QDate day = copy.made.date();
        int year = 0;
        const int number = day.weekNumber(&year);
        const std::pair<int, int> week{year, number};
        const bool daily = days.size() < dailyCopies;
        const bool keep = daily ? !days.contains(day) : !weeks.contains(week) && weekly < weeklyCopies;
        const bool made = copy.path == report.made;
        // Only a place is worth a look inside: an unreadable file must not hold one.
        if (keep && !made && !opensAsDatabase(copy.path)) {
            if (moveInto(folder + '/' + unreadableFolder, copy.path))
                report.unreadable << QFileInfo(copy.path).fileName();
            continue;
        }
        weeks.insert(week);
        if (!keep) {
            if (!made)
                QFile::remove(copy.path);
            continue;
        }
        if (daily)
            days.insert(day);
        else
            ++weekly;
        oldestKept = copy.made;
    }
    // A copy kept apart falls out once it is older than every copy the rotation keeps.
    for (const BackupCopy &copy : copies(folder + '/' + futureFolder, naming, true))
        if (oldestKept.isValid() && copy.made < oldestKept)
            QFile::remove(copy.path);
}
} // namespace

QString BackupReport::notes() const {
    QStringList notes;
    if (!setApart.isEmpty())
        notes << QStringLiteral("The computer's clock is wrong, or was when these backups were "
                                "made: they are dated later than today. They are kept apart in "
                                "%1, and daily backups go on as usual: %2.")
                     .arg(folder + '/' + futureFolder, setApart.join(QStringLiteral(", ")));
    if (!unreadable.isEmpty())
        notes << QStringLiteral("These files in the backups folder are named like backups but "
                                "are none that Versekeep can open, so they were moved into %1: %2.")
                     .arg(folder + '/' + unreadableFolder, unreadable.join(QStringLiteral(", ")));
    return notes.join(QStringLiteral("\n\n"));
}

QString backupFolder(const QString &databasePath) {
    return QFileInfo(databasePath).absolutePath() + QStringLiteral("/backups");
}

bool opensAsDatabase(const QString &path) {
    try {
        Database db(path);
        return hasVersekeepTables(db);
    } catch (const Error &) {
        return false;
    }
}

QList<BackupCopy> backupCopies(const QString &databasePath) {
    const QString folder = backupFolder(databasePath);
    const Naming naming(databasePath);
    QList<BackupCopy> all = copies(folder, naming) + copies(folder + '/' + futureFolder, naming, true);
    std::sort(all.begin(), all.end(), newerFirst);
    return all;
}

BackupReport backUpDatabase(const QString &databasePath, const QDateTime &now,
                            const std::function<void(const QString &copy)> &beforeCheck) {
    BackupReport report;
    report.folder = backupFolder(databasePath);
    const QString &folder = report.folder;
    const Naming naming(databasePath);
    makePrivateFolder(folder);
    // By date, not to the second: a clock put back an hour has not gone wrong.
    for (const BackupCopy &copy : copies(folder, naming))
        if (copy.made.date() > now.date() && moveInto(folder + '/' + futureFolder, copy.path))
            report.setApart << QFileInfo(copy.path).fileName();
    for (const BackupCopy &copy : copies(folder, naming)) {
        if (copy.made.date() != now.date())
            break;
        if (opensAsDatabase(copy.path))
            return report;
        if (moveInto(folder + '/' + unreadableFolder, copy.path))
            report.unreadable << QFileInfo(copy.path).fileName();
    }

    clearDeadParts(folder, naming);
    const QString target = folder + '/' + naming.name(now);
    try {
        // The program never opens with "create": the copy starts as the part's empty file.
        Database source(databasePath);
        report.made = writeCopy(source, target, beforeCheck);
    } catch (const Error &error) {
        // Another copy of the program made this second's copy a moment ago.
        if (!error.is(Error::FileExists))
            throw;
        report.made = target;
    }
    prune(folder, naming, report);
    return report;
}

QDateTime backupMadeAt(const QString &databasePath, const QString &copyPath) {
    return Naming(databasePath).madeAt(QFileInfo(copyPath).fileName());
}

QString setAsideUnreadable(const QString &databasePath, const QDateTime &now) {
    const QString folder = backupFolder(databasePath) + '/' + unreadableFolder;
    makePrivateFolder(folder);
    const QString aside = freePath(folder, Naming(databasePath), now);
    for (const QString &suffix : {QString(), QStringLiteral("-journal")})
        if (QFileInfo::exists(databasePath + suffix) &&
            ::rename(QFile::encodeName(databasePath + suffix).constData(),
                     QFile::encodeName(aside + suffix).constData()) != 0)
            throw Error(Error::FileSystem, QStringLiteral("cannot move %1 into %2: %3")
                                               .arg(databasePath + suffix, folder, errnoText()));
    return aside;
}

QString backUpNow(Database &source, const QString &databasePath, const QDateTime &now) {
    const QString folder = backupFolder(databasePath);
    const Naming naming(databasePath);
    makePrivateFolder(folder);
    clearDeadParts(folder, naming);
    return writeCopy(source, freePath(folder, naming, now), {});
}
