#pragma once

#include "bible/versetable.h"

// Measures verses of the verse table, reading each with one prepared query, reused.
class WordSizeMeasure {
public:
    explicit WordSizeMeasure(Database &db) : read_(db) {}
    // The verse's tokenLengths; none for a verse that is not in the table. Throws for a
    // NULL text or a failed query.
    QList<int> wordLengths(qint64 book, qint64 chapter, qint64 verse);
    // The verse's minimum word size at a word-size level: 0 for a verse not in the table.
    int operator()(qint64 book, qint64 chapter, qint64 verse, int level);

private:
    VerseReader read_;
};
