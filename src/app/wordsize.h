#pragma once

#include "database.h"

#include <QList>
#include <QStringList>

class Dialogs;

// The verse split the question page also uses: words, with a punctuation mark that
// follows a word as a token of its own. Tokens keep the blanks they start with.
QStringList splitVerse(const QString &text);

// The length of every token, blanks at either end not counted.
QList<int> tokenLengths(const QString &text);

// The largest length below the limit and above the floor; the floor when there is none.
int NextSmallerSize(const QList<int> &wordLengths, int limit, int floor);

// Level 1 (and below): the longest length; level L: the L-th distinct length from the
// longest; 0 once the levels run past the shortest, so every word is blanked.
int minWordSizeOf(const QList<int> &wordLengths, int level);

// Measures verses of the verse table with one prepared query, reused.
class WordSizeMeasure {
public:
    explicit WordSizeMeasure(Database &db);
    // 0 for a verse that is not in the table; throws for a NULL text or a failed query.
    int operator()(int book, int chapter, int verse, int level);

private:
    Statement query_;
};

// As WordSizeMeasure, but a failure is reported and gives 0.
int GetMinWordSize(Database &db, Dialogs &dialogs, int book, int chapter, int verse, int level);
