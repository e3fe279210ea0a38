#pragma once

#include <QList>
#include <QString>

#include <algorithm>

// The largest length below the limit and above the floor; the floor when there is none.
int NextSmallerSize(const QList<int> &wordLengths, int limit, int floor);

// Level 1 (and below): the longest length; level L: the L-th distinct length from the
// longest; 0 once the levels run past the shortest, so every word is blanked.
int minWordSizeOf(const QList<int> &wordLengths, int level);

// What the progress figures need of a verse's words, kept without its text: the rungs of its
// word-size ladder at verse level 1, one per distinct word length, so the levels
// minWordSizeOf gives a length for (the next blanks every word); and its longest token, -1
// for a verse without text.
struct VerseWords {
    int steps = 0;
    int longest = -1;
    // Whether a page blanks anything in the verse at this minWordSize, as yieldsBlank says.
    bool blanks(int minWordSize) const { return longest >= std::max(minWordSize, 0); }
};
VerseWords verseWords(const QString &text);
