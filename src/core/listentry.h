#pragma once

#include <QString>

// One entry of a list that a window shows: a row's id and its text.
struct ListEntry {
    qint64 id = 0;
    QString text;
    bool operator==(const ListEntry &) const = default;
};
