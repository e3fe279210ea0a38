#pragma once

#include "core/error.h"
#include "core/listentry.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariant>
#include <cstddef>
#include <functional>
#include <memory>

struct sqlite3;
struct sqlite3_stmt;
class InUse;

// The one connection to an encrypted database file. Opening never creates a file:
// an empty or wrong path is a failure, not a fresh private database. A file or folder the
// program may not write is refused at once, not at the first save.
class Database {
public:
    static constexpr const char *password = "318047265590";

    Database();
    explicit Database(const QString &path, const QByteArray &key = password);
    ~Database();
    Database(Database &&other) noexcept;
    Database &operator=(Database &&other) noexcept;
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    // Makes a new, empty encrypted file; fails when anything exists at the path.
    static Database createNew(const QString &path, const QByteArray &key = password);

    bool isOpen() const { return db_ != nullptr; }
    void close();
    // Runs statements that take no values: pragmas and the schema.
    void execute(const char *sql);
    qint64 lastInsertId() const;
    sqlite3 *handle() const { return db_; }
    // Which opening this connection is: no other connection, to this file or any other,
    // before or after, has the same.
    quint64 serial() const { return serial_; }
    // Rows inserted, updated or deleted through this connection since it opened.
    qint64 changes() const;
    // Differs from a value read before once another connection (another copy of the
    // program) has written the file meanwhile; this connection's own writes leave it.
    qint64 dataVersion();

    // While another copy of the program holds the file, work waits up to the timeout.
    // The hook hears when waiting starts (true) and ends (false).
    void setBusyHook(std::function<void(bool waiting)> hook);
    void setBusyTimeout(int milliseconds);
    // A statement has finished: any wait is over.
    void settled();

    [[noreturn]] void fail(int resultCode) const;
    // Throws unless the connection is open and this is the thread that opened it.
    void usable() const;

    // Keeps the mark that the file is in use until the connection closes.
    void holdWhileOpen(std::unique_ptr<InUse> mark);

    struct Busy;

private:
    sqlite3 *db_ = nullptr;
    quint64 serial_ = 0;
    Qt::HANDLE thread_ = nullptr; // that opened it
    std::unique_ptr<Busy> busy_;
    std::unique_ptr<InUse> inUse_; // after db_: let go only once the file is closed
};

// A prepared statement. Values are bound, never spliced into the text; columns are
// found by name without regard to letter case.
class Statement {
public:
    Statement(Database &db, const char *sql);
    ~Statement();
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    Statement &bind(int index, qint64 value);
    Statement &bind(int index, int value) { return bind(index, qint64(value)); }
    Statement &bind(int index, const QString &value);
    Statement &bind(int index, std::nullptr_t);
    template <typename... Args> Statement &bindAll(const Args &...args) {
        int index = 1;
        (bind(index++, args), ...);
        return *this;
    }

    // Steps once; true while a row is current.
    bool next();
    // Runs a statement that returns no rows, then makes it ready to run again.
    void run();
    void reset();

    int column(const char *name) const;
    bool isNull(int index) const;
    bool isNull(const char *name) const { return isNull(column(name)); }
    // Both throw the "Invalid use of Null" error on NULL.
    qint64 integer(int index) const;
    qint64 integer(const char *name) const { return integer(column(name)); }
    QString text(int index) const;
    QString text(const char *name) const { return text(column(name)); }
    // A null QVariant for NULL; otherwise the stored integer, real or text.
    QVariant value(int index) const;
    QVariant value(const char *name) const { return value(column(name)); }

private:
    Database &db_;
    sqlite3_stmt *stmt_ = nullptr;
};

// BEGIN IMMEDIATE: the write lock is taken up front, so a second copy of the program
// waits (busy timeout) instead of failing half-way. Rolls back unless committed.
class Transaction {
public:
    explicit Transaction(Database &db);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;
    void commit();

private:
    Database &db_;
    bool open_ = true;
};

// Reads that see the file as it was at one moment: another copy of the program's write
// comes before all of them or after all of them. Within a Transaction, part of it.
class ReadTogether {
public:
    explicit ReadTogether(Database &db);
    ~ReadTogether();
    ReadTogether(const ReadTogether &) = delete;
    ReadTogether &operator=(const ReadTogether &) = delete;

private:
    Database &db_;
};

// Reads every row of a query whose columns are an id and a text. A NULL throws.
QList<ListEntry> listEntries(Statement &rows);
