#pragma once

#include "learning/page.h"

// Whether the page blanks anything in this verse once it is due: the verse table has its
// text and a token of it is at least minWordSize long.
bool yieldsBlank(const PageVerse &verse);

// When the quiz would ask a passage and each verse its page shows, were nothing answered
// meanwhile: a verse from the later of its own date and its passage's, if the page blanks
// anything in it; the passage from the first of its verses. Dates are "YYYY-MM-DD HH:MM:SS"
// and count to the minute, as DueAt has them; none where the quiz never would.
struct Askable {
    std::optional<QString> passage;
    QList<std::optional<QString>> verses; // in the order given
};
Askable askable(const QString &passageDate, const QList<PageVerse> &shown);

// The same for verses known by their own date and whether the page blanks anything in them.
struct AskableVerse {
    QString scheduleDate;
    bool blanks = false;
};
Askable askable(const QString &passageDate, const QList<AskableVerse> &verses);
