#include "learning/tokens.h"

#include <QVarLengthArray>
#include <algorithm>
#include <array>
#include <bit>

namespace {
constexpr QChar delimiters[] = {u' ', u';', u':', u'.', u',', u'(', u')', u'!', u'"', u'?'};

// Whether a character ends a token, by table: the walk asks it of every character.
constexpr auto delimiterTable = [] {
    std::array<bool, 128> table{};
    for (const QChar c : delimiters)
        table[c.unicode()] = true;
    return table;
}();

bool isDelimiter(QChar c) {
    return c.unicode() < delimiterTable.size() && delimiterTable[c.unicode()];
}

// Calls visit(start, length) for each token of the walk, in order, in one pass: a token
// holds the character it starts at and runs up to the next delimiter.
template <typename Visit> void walkTokens(const QString &text, Visit visit) {
    const qsizetype length = text.size();
    qsizetype p = 0; // where the current token starts
    for (;;) {
        qsizetype end = p + 1; // the nearest delimiter after p
        // A "(" that opens the verse is a token of its own.
        if (p == 0 && text.startsWith(u'('))
            end = 0;
        while (end > 0 && end < length && !isDelimiter(text[end]))
            ++end;
        if (end >= length) {
            visit(p, p < length ? length - p : 0);
            return;
        }
        const qsizetype last = end == 0 ? 0 : end - 1; // the token's last character
        visit(p, last - p + 1);
        if (p == 0 && last == 0)
            p = 1;
        else if (text[end] == u' ')
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

TokenSizes tokenSizes(const QString &text) {
    TokenSizes sizes;
    quint64 seen = 0;               // lengths 1 to 63, a bit each
    QVarLengthArray<int, 4> longer; // the rare longer ones
    walkTokens(text, [&](qsizetype start, qsizetype size) {
        const auto [first, end] = withoutBlanks(text, start, start + size);
        const int length = int(end - first);
        sizes.longest = std::max(sizes.longest, length);
        if (length >= 64 && !longer.contains(length))
            longer.append(length);
        else if (length > 0 && length < 64)
            seen |= quint64(1) << length;
    });
    sizes.distinct = std::popcount(seen) + int(longer.size());
    return sizes;
}

int longestToken(const QString &text) { return tokenSizes(text).longest; }

bool hasTokenOfAtLeast(const QString &text, int length) {
    return length <= 0 || longestToken(text) >= length;
}
