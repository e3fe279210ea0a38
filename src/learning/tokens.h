#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The one split of a verse into tokens, shared by the word-size measure and the question
// page: words, with a punctuation mark that follows a word as a token of its own. A mark
// that opens a word ("(for", a quote) stays on it.
//
// As the page shows them: every token but the first gets a leading blank unless it is a
// single character other than the words "I" and "a": "thee, O LORD" gives "thee" "," "O"
// " LORD", and "I will" gives "I" "  will".
QStringList splitVerse(const QString &text);

// The text without the blanks (U+0020, and no other white space) at either end.
QString trimBlanks(const QString &text);

// The length of every token of the split, blanks at either end not counted.
QList<int> tokenLengths(const QString &text);

// What a verse's word-size ladder needs of the split, without a list of lengths: how many
// distinct lengths above 0 its tokens have, and the longest (0 for none), blanks at either end
// not counted.
struct TokenSizes {
    int distinct = 0;
    int longest = 0;
};
TokenSizes tokenSizes(const QString &text);

// The length of the longest token of the split, blanks at either end not counted; 0 for none.
int longestToken(const QString &text);

// Whether a token of the split is at least this long, blanks at either end not counted.
bool hasTokenOfAtLeast(const QString &text, int length);
