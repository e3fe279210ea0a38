#include "filllist.h"

#include "database.h"

#include <QListWidget>

void FillList(QListWidget *list, Statement &rows) {
    list->clear();
    while (rows.next()) {
        auto *item = new QListWidgetItem(rows.text(1), list);
        item->setData(Qt::UserRole, rows.integer(0));
    }
}

qint64 selectedId(const QListWidget *list) {
    const QListWidgetItem *item = list->currentItem();
    if (!item || !item->isSelected())
        return -1;
    return item->data(Qt::UserRole).toLongLong();
}

void keepCurrentChosen(QListWidget *list) {
    QObject::connect(list, &QListWidget::currentItemChanged, list, [](QListWidgetItem *current) {
        if (current)
            current->setSelected(true);
    });
}
