#pragma once

#include "application.h"
#include "clock.h"
#include "recordingdialogs.h"
#include "testdatabase.h"

#include <QListWidget>
#include <QTest>

// The program started on a private database, its message boxes recorded.
struct WindowFixture {
    explicit WindowFixture(TestDatabase database) : test(std::move(database)) {
        pointSettingsAt(test.folder(), QStringLiteral("test.db"));
        started = app.Main();
    }
    ~WindowFixture() { app.ExitProgram(); }

    TestDatabase test;
    RecordingDialogs dialogs;
    FixedClock clock{fromDbText(QStringLiteral("2026-12-06 10:00:00"))};
    Application app{dialogs, clock};
    bool started = false;
};

// Rows for the Delete key in a list: the modifiers held and the answer to the question.
inline void addDeleteKeyRows() {
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("answer");
    QTest::newRow("OK") << int(Qt::NoModifier) << true;
    QTest::newRow("Cancel") << int(Qt::NoModifier) << false;
    QTest::newRow("Shift") << int(Qt::ShiftModifier) << true;
    QTest::newRow("Ctrl") << int(Qt::ControlModifier) << true;
    QTest::newRow("Alt") << int(Qt::AltModifier) << true;
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
