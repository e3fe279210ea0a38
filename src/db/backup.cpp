#include "db/backup.h"

#include "db/database.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <unistd.h>

namespace {
constexpr int dailyCopies = 7;
constexpr int weeklyCopies = 4;
const QString stampFormat = QStringLiteral("yyyy-MM-dd-HHmmss");

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
    QRegularExpression pattern(const QString &before = {}, const QString &after = {}) const {
        return QRegularExpression(QStringLiteral("^%1%2-(\\d{4}-\\d{2}-\\d{2}-\\d{6})%3%4$")
                                      .arg(before, QRegularExpression::escape(base),
                                           QRegularExpression::escape(suffix), after));
    }
};

// Our copies in the folder, newest first, with the moment each was made.
QList<std::pair<QDateTime, QString>> copies(const QString &folder, const Naming &naming) {
    const QRegularExpression pattern = naming.pattern();
    QList<std::pair<QDateTime, QString>> found;
    for (const QString &name : QDir(folder).entryList(QDir::Files)) {
        const QRegularExpressionMatch match = pattern.match(name);
        const QDateTime made = QDateTime::fromString(match.captured(1), stampFormat);
        if (match.hasMatch() && made.isValid())
            found.append({made, name});
    }
    std::sort(found.begin(), found.end(), [](const auto &a, const auto &b) { return a > b; });
    return found;
}

void prune(const QString &folder, const Naming &naming) {
    QSet<QDate> days;                // the days of the daily copies
    QSet<std::pair<int, int>> weeks; // every week seen, as year and week of the year
    int weekly = 0;
    for (const auto &[made, name] : copies(folder, naming)) {
        int year = 0;
        const int number = made.date().weekNumber(&year);
        const std::pair<int, int> weekKey{year, number};
        bool keep = false;
        if (days.size() < dailyCopies) {
            keep = !days.contains(made.date());
            days.insert(made.date());
        } else if (!weeks.contains(weekKey) && weekly < weeklyCopies) {
            keep = true;
            ++weekly;
        }
        weeks.insert(weekKey);
        if (!keep)
            QFile::remove(folder + '/' + name);
    }
}
} // namespace

QString backupFolder(const QString &databasePath) {
    return QFileInfo(databasePath).absolutePath() + QStringLiteral("/backups");
}

QString backUpDatabase(const QString &databasePath, const QDateTime &now) {
    const QString folder = backupFolder(databasePath);
    const Naming naming(databasePath);
    if (!QDir().mkpath(folder))
        throw Error(Error::FileSystem, QStringLiteral("cannot make the folder %1").arg(folder));
    const auto existing = copies(folder, naming);
    if (!existing.isEmpty() && existing.first().first.date() == now.date())
        return QString();

    // Parts of copies that a program killed meanwhile began; another copy of the program
    // may be making one right now, under its own process id.
    const QRegularExpression parts =
        naming.pattern(QStringLiteral("\\."), QStringLiteral("\\.(\\d+)\\.part(-journal)?"));
    for (const QString &name : QDir(folder).entryList(QDir::Files | QDir::Hidden)) {
        const QRegularExpressionMatch match = parts.match(name);
        if (match.hasMatch() && ::kill(pid_t(match.captured(2).toLongLong()), 0) != 0 &&
            errno == ESRCH)
            QFile::remove(folder + '/' + name);
    }
    const QString target = folder + '/' + naming.name(now);
    const QString part =
        QStringLiteral("%1/.%2.%3.part").arg(folder, naming.name(now)).arg(::getpid());
    const auto removePart = [&] {
        QFile::remove(part);
        QFile::remove(part + QStringLiteral("-journal"));
    };
    try {
        {
            // The program never opens with "create": the copy starts as an empty file.
            QFile empty(part);
            if (!empty.open(QIODevice::WriteOnly | QIODevice::NewOnly))
                throw Error(Error::FileSystem,
                            QStringLiteral("cannot make %1: %2").arg(part, empty.errorString()));
            empty.close();
            Database source(databasePath);
            Statement(source, "ATTACH DATABASE ? AS backup KEY ?")
                .bindAll(part, QString::fromLatin1(Database::password))
                .run();
            Statement(source, "SELECT sqlcipher_export('backup')").run();
            Statement(source, "DETACH DATABASE backup").run();
        }
        {
            Database copy(part);
            Statement check(copy, "PRAGMA integrity_check");
            if (!check.next() || check.text(0) != QLatin1String("ok"))
                throw Error(Error::FileSystem,
                            QStringLiteral("the copy failed its check: %1").arg(check.text(0)));
        }
        // link(2), unlike rename(2), never replaces a copy another program made this second.
        if (::link(QFile::encodeName(part).constData(), QFile::encodeName(target).constData()) != 0 &&
            errno != EEXIST)
            throw Error(Error::FileSystem, QStringLiteral("cannot name the copy %1").arg(target));
        removePart();
    } catch (...) {
        removePart();
        throw;
    }
    prune(folder, naming);
    return target;
}
