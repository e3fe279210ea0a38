#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The one split of a verse into tokens, shared by the word-size measure and the question
// page: words, with a punctuation mark that follows a word as a token of its own. A mark
// that opens a word ("(for", a quote) stays on it; a token keeps the blank it starts with.
QStringList splitVerse(const QString &text);

// The length of every token of the split, blanks at either end not counted.
QList<int> tokenLengths(const QString &text);
