#pragma once

#include "db/database.h"

#include <QString>
#include <QTemporaryDir>
#include <functional>

// A fresh database from the real schema in a private folder, removed afterwards.
class TestDatabase {
public:
    TestDatabase();
    // A copy of the full verse table that the build made from the KJV module.
    static TestDatabase withBible();

    QString path() const { return dir_.filePath(QStringLiteral("test.db")); }
    QString folder() const { return dir_.path() + '/'; }
    Database &db() { return db_; }

    qint64 count(const char *sql);

private:
    explicit TestDatabase(const QString &copyFrom);

    QTemporaryDir dir_;
    Database db_;
};

// Fails the test unless the text holds the part, and shows the text.
#define VERIFY_HOLDS(text, part) QVERIFY2(QString(text).contains(part), qPrintable(QString(text)))

// The number of the Error the action throws; 0 when it throws none.
int errorNumberOf(const std::function<void()> &action);
// A copy of this process that does the work and ends with errorNumberOf it (at most 255).
int forkChild(const std::function<void()> &work);
// The child's exit code once it has ended; -1 when it was killed or crashed.
int waitForChild(int child);
// A file's hash; empty when it cannot be read.
QByteArray fingerprint(const QString &path);
// Writes the two settings the program reads; a null folder clears them.
void pointSettingsAt(const QString &dbPath, const QString &dbName);

// The process's local time zone (TZ) for one scope.
struct LocalZone {
    explicit LocalZone(const char *zone);
    ~LocalZone();
    const QByteArray before = qgetenv("TZ");
};

// Points the settings and data folders at a private place; call before the
// application object exists.
void isolateUserFolders();

// main() for a test program whose settings and data folders must be private.
#define VERSEKEEP_TEST_MAIN(TestClass, AppClass)                                                   \
    int main(int argc, char *argv[]) {                                                             \
        isolateUserFolders();                                                                      \
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);                                \
        AppClass app(argc, argv);                                                                  \
        TestClass test;                                                                            \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
