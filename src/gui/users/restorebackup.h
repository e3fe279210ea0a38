#pragma once

#include "core/backuplisting.h"

#include <QDialog>

class QPushButton;
class QTreeWidget;

// When a copy was made: "1 December 2026 at 09:00".
QString backupTime(const QDateTime &made);
// What a copy holds: "Ann (2 passages), Bob (1 passage)", or "no users".
QString holdings(const QList<UserSummary> &users);

// The backups of the database, newest first, each with its users and their passages; the
// one to restore is chosen with Enter, a double click or Restore. Modal to the user list;
// gone once closed.
class RestoreBackup : public QDialog {
    Q_OBJECT
public:
    RestoreBackup(const QList<BackupListing> &backups, QWidget *parent);

Q_SIGNALS:
    // Told once the window has closed.
    void chosen(const BackupListing &backup);

private:
    // The copy of the current row, unless it cannot be restored.
    const BackupListing *current() const;
    void choose();

    QList<BackupListing> backups_;
    QTreeWidget *backupList;
    QPushButton *RestoreButton;
};
