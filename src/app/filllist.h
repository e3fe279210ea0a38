#pragma once

#include <QtGlobal>

class QListWidget;
class Statement;

// Replaces the list's entries with one per row: the text of column 1, and column 0
// (the row's id) as the entry's Qt::UserRole data. A NULL text throws; the entries
// added before it stay.
void FillList(QListWidget *list, Statement &rows);

// The id kept with the list's chosen entry, or -1 when none is chosen.
qint64 selectedId(const QListWidget *list);

// Qt makes an entry current without choosing it when the list first takes the focus;
// a keyboard user would then see an entry that Enter or Delete ignores.
void keepCurrentChosen(QListWidget *list);
