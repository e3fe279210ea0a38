#pragma once

#include <QString>
#include <memory>

// The mark that a database file is in use. SQLite cannot tell it: a connection that sits
// between saves holds none of its locks. The mark is a flock(2) on a file beside the
// database, ".NAME.lock", never removed: every running copy of the program holds it shared
// for as long as its connection is open, and a restore holds it alone while it replaces the
// file, so that the file is never swapped under a program that has it open. The system lets
// go of it when a process ends, however it ends. (flock, not fcntl: SQLite's own fcntl locks
// on the database would be dropped when any other descriptor of the file closed.)
class InUse {
public:
    enum Kind { Shared, Alone };

    // Tries for up to waitMs while a holder of the other kind has the mark; null when it
    // could not be had. Throws FileSystem when the lock file cannot be opened.
    static std::unique_ptr<InUse> take(const QString &databasePath, Kind kind, int waitMs);
    ~InUse();
    InUse(const InUse &) = delete;
    InUse &operator=(const InUse &) = delete;

    // The name the mark goes by for this database: links followed, so that a program and a
    // restore that reach one file by different names meet at one lock.
    static QString databaseFile(const QString &databasePath);

private:
    explicit InUse(int fd) : fd_(fd) {}
    int fd_;
};
