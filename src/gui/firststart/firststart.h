#pragma once

#include "bible/builder.h"

#include <QDialog>
#include <atomic>
#include <functional>
#include <optional>

class Dialogs;
class QLabel;
class QProgressBar;
class QPushButton;
class QStackedWidget;
class QThread;
class QTreeWidget;

// The first start: the learner chooses one of the installed Bibles, and the database is
// built from it at the target while a bar counts the verses. Accepted once the file is
// there; rejected when the learner leaves, and then no file is left.
class FirstStart : public QDialog {
    Q_OBJECT
public:
    // Runs on a worker thread; as buildDatabase.
    using Build = std::function<std::optional<BuildCount>(
        const QString &target, const QString &moduleName, const BuildOptions &options)>;

    FirstStart(Dialogs &dialogs, QList<Translation> bibles, Build builder, QString target);
    // A build still running is stopped and waited for.
    ~FirstStart() override;

    // Shows the list, the King James chosen; with a single Bible, builds it without asking;
    // with none, says which package brings one and is rejected.
    void start();
    // start(), then waits for the end: true once the database is made.
    bool run();

    // Escape and closing the window leave, stopping a build first.
    void reject() override;

Q_SIGNALS:
    // From the worker thread: the verses done so far.
    void progressed(int done, int total);

private:
    void build(const Translation &bible);
    void stop(bool leave);
    void built();
    void showList();
    void showProgress(int done, int total);

    Dialogs &dialogs_;
    QList<Translation> bibles_;
    Build build_;
    QString target_;
    QThread *worker_ = nullptr;
    std::atomic<bool> stopping_ = false;
    bool leaving_ = false;
    // Written by the worker, read once it has finished.
    std::optional<BuildCount> made_;
    std::optional<Error> failure_;

    QStackedWidget *pages;
    QTreeWidget *bibleList;
    QLabel *progressLabel;
    QProgressBar *progressBar;
    QPushButton *buildButton;
    QPushButton *cancelButton;
};

// The first start as the program runs it: the builder loaded, the installed Bibles listed,
// the window shown until the database at target is made (true) or the learner leaves.
// Throws when the builder cannot be loaded.
bool makeFirstDatabase(Dialogs &dialogs, const QString &target);
