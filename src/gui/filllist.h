#pragma once

#include "core/listentry.h"

#include <QList>

#include <optional>

class QListWidget;

// Replaces the list's entries: one per entry, its text shown and its id kept as the
// item's Qt::UserRole data.
void FillList(QListWidget *list, const QList<ListEntry> &entries);

// The id kept with the list's chosen entry; none when no entry is chosen.
std::optional<qint64> selectedId(const QListWidget *list);
// The chosen entry's text; empty when none is chosen.
QString selectedText(const QListWidget *list);

// Qt makes an entry current without choosing it when the list first takes the focus;
// a keyboard user would then see an entry that Enter or Delete ignores.
void keepCurrentChosen(QListWidget *list);
