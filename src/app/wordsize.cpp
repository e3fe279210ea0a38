#include "wordsize.h"

#include "dialogs.h"

#include <algorithm>

namespace {
constexpr QChar delimiters[] = {u' ', u';', u':', u'.', u',', u'(', u')', u'!', u'"', u'?'};
// The shortest length is looked for from here down, so longer tokens never count as it.
constexpr int shortestSearchStart = 1000;
} // namespace

QStringList splitVerse(const QString &text) {
    // Positions are 0-based here; "p" is where the current token starts.
    QStringList tokens;
    const qsizetype length = text.size();
    qsizetype p = 0;
    for (;;) {
        qsizetype end = -1; // where the nearest delimiter is, searched from p + 1
        qsizetype blank = -1;
        for (const QChar delimiter : delimiters) {
            qsizetype found = text.indexOf(delimiter, p + 1);
            // A "(" that opens the verse is a token of its own.
            if (p == 0 && delimiter == u'(' && text.startsWith(u'('))
                found = 0;
            if (delimiter == u' ')
                blank = found;
            if (found >= 0 && (end < 0 || found < end))
                end = found;
        }
        if (end < 0) {
            tokens << (p < length ? text.mid(p) : QString());
            return tokens;
        }
        const qsizetype last = end == 0 ? 0 : end - 1; // the token's last character
        tokens << text.mid(p, last - p + 1);
        if (p == 0 && last == 0)
            p = 1;
        else if (end == blank)
            p = end + 1;
        else
            p = end;
    }
}

QList<int> tokenLengths(const QString &text) {
    QList<int> lengths;
    for (const QString &token : splitVerse(text)) {
        QStringView trimmed(token);
        while (!trimmed.isEmpty() && trimmed.front() == u' ')
            trimmed = trimmed.mid(1);
        while (!trimmed.isEmpty() && trimmed.back() == u' ')
            trimmed.chop(1);
        lengths << int(trimmed.size());
    }
    return lengths;
}

int NextSmallerSize(const QList<int> &wordLengths, int limit, int floor) {
    int best = floor;
    for (int length : wordLengths)
        if (length < limit && length > best)
            best = length;
    return best;
}

int minWordSizeOf(const QList<int> &wordLengths, int level) {
    const int longest = std::max(0, wordLengths.isEmpty() ? 0 : *std::ranges::max_element(wordLengths));
    if (level <= 1)
        return longest;
    int shortest = shortestSearchStart;
    for (int length : wordLengths)
        shortest = std::min(shortest, length);
    int size = longest + 1;
    for (int step = 0; step < level; ++step)
        size = size > shortest ? NextSmallerSize(wordLengths, size, shortest) : 0;
    return size;
}

WordSizeMeasure::WordSizeMeasure(Database &db)
    : query_(db, "SELECT VerseText FROM kjv WHERE BookNum = ? AND Chapter = ? AND Verse = ?") {}

int WordSizeMeasure::operator()(int book, int chapter, int verse, int level) {
    query_.reset();
    query_.bindAll(book, chapter, verse);
    if (!query_.next())
        return 0;
    const QString text = query_.text("VerseText");
    query_.reset();
    return minWordSizeOf(tokenLengths(text), level);
}

int GetMinWordSize(Database &db, Dialogs &dialogs, int book, int chapter, int verse, int level) {
    try {
        WordSizeMeasure measure(db);
        return measure(book, chapter, verse, level);
    } catch (const Error &error) {
        dialogs.report(error);
        return 0;
    }
}
