#pragma once

#include "core/clock.h"
#include "gui/windowcontext.h"
#include "support/recordingdialogs.h"
#include "support/testdatabase.h"

#include <QListWidget>
#include <QTest>

// Where a window asked to go: "users", "passages NAME ID", "passages", "quiz NAME ID",
// "progress NAME ID", "help", "about", "backups", "exit".
struct RecordingNavigation : Navigation {
    void showUsers() override { calls << "users"; }
    void showPassages(const QString &name, qint64 id) override { record("passages", name, id); }
    void returnToPassages() override { calls << "passages"; }
    void startQuiz(const QString &name, qint64 id) override { record("quiz", name, id); }
    void showProgress(const QString &name, qint64 id) override { record("progress", name, id); }
    void showHelp() override { calls << "help"; }
    void showAbout() override { calls << "about"; }
    void showBackups() override { calls << "backups"; }
    void ExitProgram() override { calls << "exit"; }
    void record(const char *where, const QString &name, qint64 id) {
        calls << QStringLiteral("%1 %2 %3").arg(where, name).arg(id);
    }
    QStringList calls;
};

// One window on a private database, its message boxes and its navigation recorded.
struct WindowFixture {
    explicit WindowFixture(TestDatabase database) : test(std::move(database)) {}
    WindowContext context() { return {test.db(), dialogs, clock}; }

    TestDatabase test;
    RecordingDialogs dialogs;
    FixedClock clock{fromDbText(QStringLiteral("2026-12-06 10:00:00"))};
    RecordingNavigation navigation;
};

// The control of this name; a test cannot go on without it.
template <typename T> T *child(const QWidget *window, const char *name) {
    T *found = window->findChild<T *>(QLatin1String(name));
    if (!QTest::qVerify(found, name, "no such control", __FILE__, __LINE__))
        qFatal("no control named %s", name);
    return found;
}

inline QStringList entries(const QListWidget *list) {
    QStringList texts;
    for (int row = 0; row < list->count(); ++row)
        texts << list->item(row)->text();
    return texts;
}

inline void chooseEntry(QListWidget *list, const QString &text) {
    const auto found = list->findItems(text, Qt::MatchExactly);
    QVERIFY2(!found.isEmpty(), qPrintable(text));
    list->setCurrentItem(found.first());
}
