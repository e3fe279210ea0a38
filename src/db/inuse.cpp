#include "db/inuse.h"

#include "core/error.h"

#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

QString InUse::databaseFile(const QString &databasePath) {
    const QFileInfo info(databasePath);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

std::unique_ptr<InUse> InUse::take(const QString &databasePath, Kind kind, int waitMs) {
    const QFileInfo database(databaseFile(databasePath));
    const QString path = database.absolutePath() + QStringLiteral("/.") + database.fileName() +
                         QStringLiteral(".lock");
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        throw Error(Error::FileSystem, QStringLiteral("cannot open the lock file %1: %2")
                                           .arg(path, QString::fromLocal8Bit(std::strerror(errno))));
    // It holds nothing, and another account that shares the database must be able to open
    // it, whatever the umask of the one that made it.
    struct stat info {};
    if (::fstat(fd, &info) == 0 && info.st_uid == ::geteuid() && (info.st_mode & 0777) != 0644)
        ::fchmod(fd, 0644);
    constexpr int stepMs = 20;
    for (int waited = 0;; waited += stepMs) {
        if (::flock(fd, (kind == Shared ? LOCK_SH : LOCK_EX) | LOCK_NB) == 0)
            return std::unique_ptr<InUse>(new InUse(fd));
        const int err = errno;
        if (err != EWOULDBLOCK || waited >= waitMs) {
            ::close(fd);
            // Where SQLite's locks work, so does flock: on NFS the system makes one of the other.
            if (err != EWOULDBLOCK)
                throw Error(Error::FileSystem, QStringLiteral("cannot lock %1: %2")
                                                   .arg(path, QString::fromLocal8Bit(std::strerror(err))));
            return nullptr;
        }
        QThread::msleep(stepMs);
    }
}

InUse::~InUse() { ::close(fd_); }
