#pragma once

#include "bible/versetable.h"
#include "learning/wordsize.h"

#include <vector>

// Measures verses of the verse table, reading each with one prepared query, reused.
class WordSizeMeasure {
public:
    explicit WordSizeMeasure(Database &db) : read_(db) {}
    // The verse's minimum word size at a word-size level: 0 for a verse not in the table.
    // Throws for a NULL text or a failed query.
    int operator()(qint64 book, qint64 chapter, qint64 verse, int level);

private:
    VerseReader read_;
};

// The words of verses of the verse table, measured once each. The table never changes while
// the program runs, so what is measured is kept for the life of this object: at most one
// entry a verse of the table, none for verses it lacks or numbers past any Bible's. It holds no
// query of its own, so the database may close before it goes.
class VerseWordsCache {
public:
    // The verse's words if measured already; none for a verse the table lacks.
    std::optional<VerseWords> known(const VersePlace &place) const;
    // Measures those of these verses not yet known, reading runs of them by range: thousands
    // at once cost little more than a pass over the table.
    void learn(Database &db, const QList<VersePlace> &places);
    // How many verses are kept.
    qsizetype size() const { return qsizetype(known_.size()); }

private:
    using Entry = std::pair<quint64, VerseWords>; // by book, chapter and verse, 20 bits each
    const VerseWords *find(quint64 key) const;
    void keep(std::vector<Entry> &&sorted);

    // In reading order: a report asks for verses in reading order, mostly the one after the
    // last found, so the next is looked at first.
    std::vector<Entry> known_;
    mutable std::size_t last_ = 0; // the last found
};
