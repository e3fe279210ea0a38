#include "db/backup.h"

#include "core/partfile.h"
#include "db/database.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>

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
    QRegularExpression pattern() const {
        return QRegularExpression(
            QStringLiteral("^%1-(\\d{4}-\\d{2}-\\d{2}-\\d{6})%2$")
                .arg(QRegularExpression::escape(base), QRegularExpression::escape(suffix)));
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

QString backUpDatabase(const QString &databasePath, const QDateTime &now,
                       const std::function<void(const QString &copy)> &beforeCheck) {
    const QString folder = backupFolder(databasePath);
    const Naming naming(databasePath);
    if (!QDir().mkpath(folder))
        throw Error(Error::FileSystem, QStringLiteral("cannot make the folder %1").arg(folder));
    const auto existing = copies(folder, naming);
    if (!existing.isEmpty() && existing.first().first.date() == now.date())
        return QString();

    // Parts of copies that a program killed meanwhile began; another copy of the program
    // may be making one right now, under its own process id.
    const QRegularExpression copyName = naming.pattern();
    removeDeadWritersParts(folder,
                           [&](const QString &name) { return copyName.match(name).hasMatch(); });
    PartFile part(folder + '/' + naming.name(now));
    {
        // The program never opens with "create": the copy starts as the part's empty file.
        Database source(databasePath);
        Statement(source, "ATTACH DATABASE ? AS backup KEY ?")
            .bindAll(part.path(), QString::fromLatin1(Database::password))
            .run();
        Statement(source, "SELECT sqlcipher_export('backup')").run();
        Statement(source, "DETACH DATABASE backup").run();
    }
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
    try {
        part.putInPlace();
    } catch (const Error &error) {
        // Another copy of the program made this second's copy a moment ago.
        if (!error.is(Error::FileExists))
            throw;
    }
    prune(folder, naming);
    return part.target();
}
