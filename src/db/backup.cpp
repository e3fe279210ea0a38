#include "db/backup.h"

#include "core/partfile.h"
#include "db/database.h"
#include "db/open.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSet>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

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

QString errnoText(int err = errno) { return QString::fromLocal8Bit(std::strerror(err)); }

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

// SQLite's own handle on a file of the connection. Reading through it opens no descriptor of
// the file, whose closing would drop every lock this process holds on it, the program's own
// connection's among them: fcntl locks are the process's.
sqlite3_file *fileOf(Database &db, const char *schema) {
    sqlite3_file *file = nullptr;
    const int rc = sqlite3_file_control(db.handle(), schema, SQLITE_FCNTL_FILE_POINTER, &file);
    if (rc != SQLITE_OK || !file || !file->pMethods)
        db.fail(rc != SQLITE_OK ? rc : SQLITE_CANTOPEN);
    return file;
}

// The first 16 bytes, SQLCipher's salt: the key is the password's derived with it. Empty for
// a shorter file.
QByteArray salt(Database &db, const char *schema) {
    QByteArray bytes(16, '\0');
    sqlite3_file *file = fileOf(db, schema);
    return file->pMethods->xRead(file, bytes.data(), int(bytes.size()), 0) == SQLITE_OK
               ? bytes
               : QByteArray();
}

// A file attached to the database's connection as "copy" under the database's own key, which
// SQLCipher hands on already derived. Right only for a file with the database's salt, as a
// copy of its bytes has: it then opens as it would with the password, at no cost.
class Attached {
public:
    Attached(Database &source, const QString &path) : source_(source) {
        Statement(source, "ATTACH DATABASE ? AS copy").bindAll(path).run();
    }
    ~Attached() {
        sqlite3_exec(source_.handle(), "DETACH DATABASE copy", nullptr, nullptr, nullptr);
    }
    Attached(const Attached &) = delete;
    Attached &operator=(const Attached &) = delete;

    bool hasSourceSalt() const {
        const QByteArray own = salt(source_, "copy");
        return !own.isEmpty() && own == salt(source_, "main");
    }

private:
    Database &source_;
};

// opensAsDatabase without a key derivation for a copy with the database's salt.
bool opensWithKey(Database &source, const QString &path) {
    try {
        const Attached copy(source, path);
        if (copy.hasSourceSalt())
            return hasVersekeepTables(source, "copy");
    } catch (const Error &) {
        // Attaching reads the file: one with a salt of its own fails here. The password decides.
    }
    return opensAsDatabase(path);
}

[[noreturn]] void failWriting(Database &source, const QString &path, int err) {
    // In the words a full disk gets everywhere else.
    if (err == ENOSPC || err == EDQUOT)
        source.fail(SQLITE_FULL);
    throw Error(Error::FileSystem, QStringLiteral("cannot write %1: %2").arg(path, errnoText(err)));
}

// The database's bytes as they are, read under a read transaction: no writer can be half-way
// through the file, since writing it takes the exclusive lock, and a journal a crash left was
// rolled back when the connection first read it. The salt, the page size and the bytes each
// page reserves come across unchanged, and so the copy opens with the same key.
void copyInto(Database &source, const QString &path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0)
        failWriting(source, path, errno);
    const auto closeFile = qScopeGuard([fd] { ::close(fd); });
    source.execute("BEGIN");
    try {
        source.execute("SELECT count(*) FROM sqlite_master"); // the shared lock, until COMMIT
        sqlite3_file *file = fileOf(source, "main");
        sqlite3_int64 size = 0;
        if (const int rc = file->pMethods->xFileSize(file, &size))
            source.fail(rc);
        std::vector<char> block(1 << 20);
        for (sqlite3_int64 at = 0; at < size;) {
            const int length = int(std::min<sqlite3_int64>(sqlite3_int64(block.size()), size - at));
            if (const int rc = file->pMethods->xRead(file, block.data(), length, at))
                source.fail(rc);
            for (int written = 0; written < length;) {
                const ssize_t step = ::write(fd, block.data() + written, size_t(length - written));
                if (step < 0 && errno != EINTR)
                    failWriting(source, path, errno);
                written += int(std::max<ssize_t>(step, 0));
            }
            at += length;
        }
    } catch (const Error &) {
        sqlite3_exec(source.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
    source.execute("COMMIT");
}

// Copies, checks and puts the copy in place; FileExists when its name was taken meanwhile.
QString writeCopy(Database &source, const QString &target,
                  const std::function<void(const QString &copy)> &beforeCheck) {
    PartFile part(target);
    copyInto(source, part.path());
    if (beforeCheck)
        beforeCheck(part.path());
    {
        const Attached copy(source, part.path());
        Statement check(source, "PRAGMA copy.integrity_check");
        // Read with the database's key, which the password gives only with the same salt.
        const QString verdict = !copy.hasSourceSalt() ? QStringLiteral("its salt is another")
                                : check.next()        ? check.text(0)
                                                      : QString();
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

void prune(Database &source, const QString &folder, const Naming &naming, BackupReport &report) {
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
        if (keep && !made && !opensWithKey(source, copy.path)) {
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
    // One key derivation: every copy with the database's salt is read through its key.
    Database source(databasePath);
    for (const BackupCopy &copy : copies(folder, naming)) {
        if (copy.made.date() != now.date())
            break;
        if (opensWithKey(source, copy.path))
            return report;
        if (moveInto(folder + '/' + unreadableFolder, copy.path))
            report.unreadable << QFileInfo(copy.path).fileName();
    }

    clearDeadParts(folder, naming);
    const QString target = folder + '/' + naming.name(now);
    try {
        report.made = writeCopy(source, target, beforeCheck);
    } catch (const Error &error) {
        // Another copy of the program made this second's copy a moment ago.
        if (!error.is(Error::FileExists))
            throw;
        report.made = target;
    }
    prune(source, folder, naming, report);
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
