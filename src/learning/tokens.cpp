#include "learning/tokens.h"

#include <algorithm>

namespace {
constexpr QChar delimiters[] = {u' ', u';', u':', u'.', u',', u'(', u')', u'!', u'"', u'?'};

// Calls visit(start, length) for each token of the walk, in order.
template <typename Visit> void walkTokens(const QString &text, Visit visit) {
    // Positions are 0-based here; "p" is where the current token starts. p only grows,
    // so each delimiter's next occurrence is searched for again only once p passes it.
    constexpr qsizetype unknown = -2;
    qsizetype next[std::size(delimiters)];
    std::fill(std::begin(next), std::end(next), unknown);
    const qsizetype length = text.size();
    qsizetype p = 0;
    for (;;) {
        qsizetype end = -1; // the nearest delimiter after p
        qsizetype blank = -1;
        for (size_t d = 0; d < std::size(delimiters); ++d) {
            if (next[d] == unknown || (next[d] >= 0 && next[d] < p + 1))
                next[d] = text.indexOf(delimiters[d], p + 1);
            qsizetype found = next[d];
            // A "(" that opens the verse is a token of its own.
            if (p == 0 && delimiters[d] == u'(' && text.startsWith(u'('))
                found = 0;
            if (delimiters[d] == u' ')
                blank = found;
            if (found >= 0 && (end < 0 || found < end))
                end = found;
        }
        if (end < 0) {
            visit(p, p < length ? length - p : 0);
            return;
        }
        const qsizetype last = end == 0 ? 0 : end - 1; // the token's last character
        visit(p, last - p + 1);
        if (p == 0 && last == 0)
            p = 1;
        else if (end == blank)
            p = end + 1;
        else
            p = end;
    }
}
} // namespace

QStringList splitVerse(const QString &text) {
    QStringList tokens;
    walkTokens(text, [&](qsizetype start, qsizetype size) {
        QString token = text.mid(start, size);
        const bool word = token.size() != 1 || token.compare(u"i", Qt::CaseInsensitive) == 0 ||
                          token.compare(u"a", Qt::CaseInsensitive) == 0;
        if (!tokens.isEmpty() && word)
            token.prepend(u' ');
        tokens << token;
    });
    return tokens;
}

namespace {
// The part of text[start, end) without blanks at either end, as start and end.
std::pair<qsizetype, qsizetype> withoutBlanks(const QString &text, qsizetype start, qsizetype end) {
    while (start < end && text[start] == u' ')
        ++start;
    while (end > start && text[end - 1] == u' ')
        --end;
    return {start, end};
}
} // namespace

QString trimBlanks(const QString &text) {
    const auto [start, end] = withoutBlanks(text, 0, text.size());
    return text.mid(start, end - start);
}

QList<int> tokenLengths(const QString &text) {
    QList<int> lengths;
    walkTokens(text, [&](qsizetype start, qsizetype size) {
        const auto [first, end] = withoutBlanks(text, start, start + size);
        lengths << int(end - first);
    });
    return lengths;
}

bool hasTokenOfAtLeast(const QString &text, int length) {
    if (length <= 0)
        return true;
    // Each token holds a whole run of characters between delimiters, and lies within a run
    // between blanks: the two longest runs bound the longest token without splitting.
    int run = 0, longestRun = 0, unbroken = 0, longestUnbroken = 0;
    for (const QChar c : text) {
        run = std::find(std::begin(delimiters), std::end(delimiters), c) == std::end(delimiters)
                  ? run + 1
                  : 0;
        unbroken = c == u' ' ? 0 : unbroken + 1;
        longestRun = std::max(longestRun, run);
        longestUnbroken = std::max(longestUnbroken, unbroken);
    }
    if (longestRun >= length || longestUnbroken < length)
        return longestRun >= length;
    const QList<int> lengths = tokenLengths(text);
    return std::any_of(lengths.cbegin(), lengths.cend(), [&](int size) { return size >= length; });
}
