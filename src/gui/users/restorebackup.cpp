#include "gui/users/restorebackup.h"

#include "gui/controls.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

QString backupTime(const QDateTime &made) {
    return made.toString(QStringLiteral("d MMMM yyyy 'at' HH:mm"));
}

QString holdings(const QList<UserSummary> &users) {
    if (users.isEmpty())
        return RestoreBackup::tr("no users");
    QStringList each;
    for (const UserSummary &user : users)
        each << (user.passages == 1
                     ? RestoreBackup::tr("%1 (1 passage)").arg(user.name)
                     : RestoreBackup::tr("%1 (%2 passages)").arg(user.name).arg(user.passages));
    return each.join(QStringLiteral(", "));
}

RestoreBackup::RestoreBackup(const QList<BackupListing> &backups, QWidget *parent)
    : QDialog(parent), backups_(backups) {
    setObjectName(QStringLiteral("RestoreBackup"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("Restore a Backup"));
    setFont(defaultControlFont());

    auto *about = new QLabel(tr("Choose the backup to put in the place of your database. "
                                "Whatever was done since it was made is lost; your database as "
                                "it is now is backed up first."));
    about->setWordWrap(true);
    backupList = new QTreeWidget;
    backupList->setObjectName(QStringLiteral("backupList"));
    backupList->setHeaderLabels({tr("Made"), tr("Users and their passages")});
    backupList->setRootIsDecorated(false);
    backupList->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    for (const BackupListing &backup : backups_) {
        auto *item = new QTreeWidgetItem(backupList);
        item->setText(0, backup.copy.apart
                             ? tr("%1 (dated after the clock)").arg(backupTime(backup.copy.made))
                             : backupTime(backup.copy.made));
        item->setText(1, backup.readable ? holdings(backup.users)
                                         : tr("does not open; cannot be restored"));
        item->setToolTip(1, item->text(1));
        if (!backup.readable)
            item->setFlags(Qt::NoItemFlags);
    }
    RestoreButton = new QPushButton(tr("&Restore"));
    RestoreButton->setObjectName(QStringLiteral("RestoreButton"));
    RestoreButton->setDefault(true);
    auto *cancel = new QPushButton(tr("Cancel"));
    cancel->setObjectName(QStringLiteral("CancelButton"));
    cancel->setAutoDefault(false);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(RestoreButton);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(about);
    layout->addWidget(backupList);
    layout->addLayout(buttons);
    resize(fromTwips(9000), fromTwips(4500));

    // Enter in the list reaches the default button, Restore.
    connect(RestoreButton, &QPushButton::clicked, this, &RestoreBackup::choose);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(backupList, &QTreeWidget::itemDoubleClicked, this, &RestoreBackup::choose);
    connect(backupList, &QTreeWidget::currentItemChanged, this,
            [this] { RestoreButton->setEnabled(current()); });
    for (int row = 0; row < backupList->topLevelItemCount(); ++row)
        if (backups_[row].readable) {
            backupList->setCurrentItem(backupList->topLevelItem(row));
            break;
        }
    RestoreButton->setEnabled(current());
    backupList->setFocus();
}

const BackupListing *RestoreBackup::current() const {
    const int row = backupList->indexOfTopLevelItem(backupList->currentItem());
    return row >= 0 && backups_[row].readable ? &backups_[row] : nullptr;
}

void RestoreBackup::choose() {
    const BackupListing *backup = current();
    if (!backup)
        return;
    const BackupListing chosenBackup = *backup;
    accept();
    Q_EMIT chosen(chosenBackup);
}
