#pragma once

#include "bible/versetable.h"

// Measures verses of the verse table, reading each with one prepared query, reused.
class WordSizeMeasure {
public:
    explicit WordSizeMeasure(Database &db) : read_(db) {}
    // 0 for a verse that is not in the table; throws for a NULL text or a failed query.
    int operator()(qint64 book, qint64 chapter, qint64 verse, int level);

private:
    VerseReader read_;
};

// One verse's minimum word size at a word-size level, as WordSizeMeasure gives it.
int GetMinWordSize(Database &db, qint64 book, qint64 chapter, qint64 verse, int level);
