#include "gui/filllist.h"

#include <QListWidget>

void FillList(QListWidget *list, const QList<ListEntry> &entries) {
    // Entries of one height: the view need not measure each of thousands.
    list->setUniformItemSizes(true);
    list->clear();
    for (const ListEntry &entry : entries) {
        auto *item = new QListWidgetItem(entry.text);
        item->setData(Qt::UserRole, entry.id);
        list->addItem(item);
    }
}

namespace {
const QListWidgetItem *chosenItem(const QListWidget *list) {
    const QListWidgetItem *item = list->currentItem();
    return item && item->isSelected() ? item : nullptr;
}
} // namespace

std::optional<qint64> selectedId(const QListWidget *list) {
    if (const QListWidgetItem *item = chosenItem(list))
        return item->data(Qt::UserRole).toLongLong();
    return std::nullopt;
}

QString selectedText(const QListWidget *list) {
    const QListWidgetItem *item = chosenItem(list);
    return item ? item->text() : QString();
}

void keepCurrentChosen(QListWidget *list) {
    QObject::connect(list, &QListWidget::currentItemChanged, list, [](QListWidgetItem *current) {
        if (current)
            current->setSelected(true);
    });
}
