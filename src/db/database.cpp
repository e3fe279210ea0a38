#define SQLITE_HAS_CODEC 1
#include "db/database.h"

#include "db/inuse.h"

#include <sqlite3.h>

#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <strings.h>
#include <unistd.h>

// Kept apart from the Database so that SQLite's pointer to it survives a move.
struct Database::Busy {
    std::function<void(bool)> hook;
    int timeoutMs = 5000;
    int waitedMs = 0;
    bool waiting = false;
};

namespace {
constexpr int busyStepMs = 20;

std::atomic<quint64> openings{0};

int onBusy(void *data, int attempt) {
    auto *busy = static_cast<Database::Busy *>(data);
    if (attempt == 0) {
        busy->waitedMs = 0;
        if (!busy->waiting && busy->hook) {
            busy->waiting = true;
            busy->hook(true);
        }
    }
    if (busy->waitedMs >= busy->timeoutMs)
        return 0;
    const int step = std::min(busyStepMs, busy->timeoutMs - busy->waitedMs);
    sqlite3_sleep(step);
    busy->waitedMs += step;
    return 1;
}

// What a learner needs to hear about the failures a learner can meet.
QString describe(int code, const char *message) {
    switch (code) {
    case SQLITE_BUSY:
        return QStringLiteral("Another copy of Versekeep is using the database, so nothing was "
                              "saved. Try again once it is done.");
    case SQLITE_FULL:
        return QStringLiteral("The disk is full, so nothing was saved. Free some space, then "
                              "try again.");
    default:
        return QString::fromUtf8(message);
    }
}
} // namespace

Database::Database() = default;

Database::Database(const QString &path, const QByteArray &key)
    : busy_(std::make_unique<Busy>()) {
    // SQLite treats an empty name as a private temporary database; that is never ours.
    if (path.isEmpty())
        throw Error::database(SQLITE_CANTOPEN, QStringLiteral("unable to open database file"));
    const QByteArray name = QFile::encodeName(path);
    // Without SQLite's lock around every call: a connection is only ever used by the thread
    // that opened it (usable() holds every statement to that).
    int rc = sqlite3_open_v2(name.constData(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX,
                             nullptr);
    thread_ = QThread::currentThreadId();
    try {
        if (rc != SQLITE_OK)
            fail(rc);
        if (sqlite3_db_readonly(db_, "main") == 1)
            throw Error::database(SQLITE_READONLY, QStringLiteral("attempt to write a readonly database"));
        // Saving makes a journal beside the file.
        const QString folder = QFileInfo(path).absolutePath();
        if (::access(QFile::encodeName(folder).constData(), W_OK) != 0)
            throw Error::database(SQLITE_READONLY,
                        QStringLiteral("the folder %1 cannot be written, and every save needs "
                                       "room beside the database for its journal")
                            .arg(folder));
        rc = sqlite3_key(db_, key.constData(), int(key.size()));
        if (rc != SQLITE_OK)
            fail(rc);
        sqlite3_busy_handler(db_, onBusy, busy_.get());
        // The first read proves the key: a wrong one gives SQLITE_NOTADB here.
        execute("SELECT count(*) FROM sqlite_master");
        execute("PRAGMA synchronous = FULL");
        // Room for the whole verse table once decrypted: each page is decrypted once a run,
        // not again whenever a report or a page reads it.
        execute("PRAGMA cache_size = -16384");
        serial_ = ++openings;
    } catch (...) {
        sqlite3_close(db_);
        db_ = nullptr;
        throw;
    }
}

Database Database::createNew(const QString &path, const QByteArray &key) {
    const QByteArray name = QFile::encodeName(path);
    // O_EXCL makes "does it exist?" and "create it" one step; an empty file is an
    // empty database to SQLite. Owner only: the key is printed in the README.
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        const int err = errno;
        throw Error(err == EEXIST ? Error::FileExists : Error::FileSystem,
                    QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(std::strerror(err))));
    }
    ::close(fd);
    try {
        return Database(path, key);
    } catch (...) {
        QFile::remove(path);
        throw;
    }
}

Database::~Database() {
    if (db_)
        sqlite3_close_v2(db_);
}

Database::Database(Database &&other) noexcept
    : db_(std::exchange(other.db_, nullptr)), serial_(std::exchange(other.serial_, 0)),
      thread_(other.thread_), busy_(std::move(other.busy_)),
      inUse_(std::move(other.inUse_)) {}

Database &Database::operator=(Database &&other) noexcept {
    if (this != &other) {
        if (db_)
            sqlite3_close_v2(db_);
        db_ = std::exchange(other.db_, nullptr);
        serial_ = std::exchange(other.serial_, 0);
        thread_ = other.thread_;
        busy_ = std::move(other.busy_);
        inUse_ = std::move(other.inUse_);
    }
    return *this;
}

void Database::holdWhileOpen(std::unique_ptr<InUse> mark) { inUse_ = std::move(mark); }

void Database::setBusyHook(std::function<void(bool)> hook) {
    if (busy_)
        busy_->hook = std::move(hook);
}

void Database::setBusyTimeout(int milliseconds) {
    if (busy_)
        busy_->timeoutMs = milliseconds;
}

void Database::settled() {
    if (busy_ && busy_->waiting) {
        busy_->waiting = false;
        if (busy_->hook)
            busy_->hook(false);
    }
}

void Database::close() {
    if (!db_)
        return;
    const int rc = sqlite3_close(db_);
    if (rc != SQLITE_OK)
        fail(rc);
    db_ = nullptr;
    serial_ = 0;
    inUse_.reset();
}

void Database::usable() const {
    if (!db_)
        throw Error::database(SQLITE_MISUSE, QStringLiteral("the database is not open"));
    if (QThread::currentThreadId() != thread_)
        throw Error::database(SQLITE_MISUSE, QStringLiteral("the database is used by a thread "
                                                             "that did not open it"));
}

void Database::execute(const char *sql) {
    usable();
    const int rc = sqlite3_exec(db_, sql, nullptr, nullptr, nullptr);
    settled();
    if (rc != SQLITE_OK)
        fail(rc);
}

qint64 Database::lastInsertId() const { return sqlite3_last_insert_rowid(db_); }

qint64 Database::changes() const { return db_ ? sqlite3_total_changes(db_) : 0; }

qint64 Database::dataVersion() {
    Statement version(*this, "PRAGMA data_version");
    version.next();
    return version.integer(0);
}

void Database::fail(int resultCode) const {
    const int code = resultCode & 0xff;
    const char *message = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(code);
    if (db_ && sqlite3_errcode(db_) == SQLITE_OK)
        message = sqlite3_errstr(code);
    throw Error::database(code, describe(code, message));
}

Statement::Statement(Database &db, const char *sql) : db_(db) {
    db.usable();
    const int rc = sqlite3_prepare_v2(db.handle(), sql, -1, &stmt_, nullptr);
    if (rc != SQLITE_OK)
        db.fail(rc);
}

Statement::~Statement() { sqlite3_finalize(stmt_); }

Statement &Statement::bind(int index, qint64 value) {
    const int rc = sqlite3_bind_int64(stmt_, index, value);
    if (rc != SQLITE_OK)
        db_.fail(rc);
    return *this;
}

Statement &Statement::bind(int index, const QString &value) {
    const QByteArray utf8 = value.toUtf8();
    const int rc = sqlite3_bind_text(stmt_, index, utf8.constData(), int(utf8.size()),
                                     SQLITE_TRANSIENT);
    if (rc != SQLITE_OK)
        db_.fail(rc);
    return *this;
}

Statement &Statement::bind(int index, std::nullptr_t) {
    const int rc = sqlite3_bind_null(stmt_, index);
    if (rc != SQLITE_OK)
        db_.fail(rc);
    return *this;
}

bool Statement::next() {
    const int rc = sqlite3_step(stmt_);
    db_.settled();
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    sqlite3_reset(stmt_);
    db_.fail(rc);
}

void Statement::run() {
    while (next()) {
    }
    reset();
}

void Statement::reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

int Statement::column(const char *name) const {
    const int count = sqlite3_column_count(stmt_);
    for (int i = 0; i < count; ++i)
        if (strcasecmp(sqlite3_column_name(stmt_, i), name) == 0)
            return i;
    throw Error::database(SQLITE_ERROR, QStringLiteral("no such column: %1").arg(QString::fromUtf8(name)));
}

bool Statement::isNull(int index) const {
    return sqlite3_column_type(stmt_, index) == SQLITE_NULL;
}

// One call into SQLite a column rather than two: tens of thousands of rows are read at once.
qint64 Statement::integer(int index) const {
    sqlite3_value *value = sqlite3_column_value(stmt_, index);
    switch (sqlite3_value_type(value)) {
    case SQLITE_NULL:
        throw nullError();
    case SQLITE_INTEGER:
        return sqlite3_value_int64(value);
    default: {
        bool ok = false;
        const qint64 number = text(index).trimmed().toLongLong(&ok);
        if (!ok)
            throw Error(Error::TypeMismatch, QStringLiteral("Type mismatch"));
        return number;
    }
    }
}

QString Statement::text(int index) const {
    sqlite3_value *value = sqlite3_column_value(stmt_, index);
    if (sqlite3_value_type(value) == SQLITE_NULL)
        throw nullError();
    const auto *data = reinterpret_cast<const char *>(sqlite3_value_text(value));
    return QString::fromUtf8(data, sqlite3_value_bytes(value));
}

QVariant Statement::value(int index) const {
    switch (sqlite3_column_type(stmt_, index)) {
    case SQLITE_NULL:
        return {};
    case SQLITE_INTEGER:
        return QVariant(qint64(sqlite3_column_int64(stmt_, index)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(stmt_, index));
    default:
        return QVariant(text(index));
    }
}

Transaction::Transaction(Database &db) : db_(db) { db_.execute("BEGIN IMMEDIATE"); }

Transaction::~Transaction() {
    if (open_)
        sqlite3_exec(db_.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void Transaction::commit() {
    db_.execute("COMMIT");
    open_ = false;
}

// A savepoint outside a transaction begins one, which takes its lock with the first read.
ReadTogether::ReadTogether(Database &db) : db_(db) { db_.execute("SAVEPOINT readTogether"); }

ReadTogether::~ReadTogether() {
    sqlite3_exec(db_.handle(), "RELEASE readTogether", nullptr, nullptr, nullptr);
}

QList<ListEntry> listEntries(Statement &rows) {
    QList<ListEntry> entries;
    while (rows.next())
        entries.append({rows.integer(0), rows.text(1)});
    return entries;
}
