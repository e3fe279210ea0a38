#include "store/wordsize.h"

#include "learning/tokens.h"
#include "learning/wordsize.h"

#include <algorithm>

QList<int> WordSizeMeasure::wordLengths(qint64 book, qint64 chapter, qint64 verse) {
    const std::optional<Verse> found = read_(book, chapter, verse);
    if (!found)
        return {};
    if (!found->text)
        throw nullError();
    return tokenLengths(*found->text);
}

int WordSizeMeasure::operator()(qint64 book, qint64 chapter, qint64 verse, int level) {
    return minWordSizeOf(wordLengths(book, chapter, verse), level);
}

std::optional<VerseWords> VerseWordsCache::operator()(VerseReader &read, qint64 book,
                                                      qint64 chapter, qint64 verse) {
    constexpr qint64 numbers = 1 << 20;
    const bool keyed =
        std::max({book, chapter, verse}) < numbers && std::min({book, chapter, verse}) >= 0;
    const quint64 key = (quint64(book) << 40) | (quint64(chapter) << 20) | quint64(verse);
    if (const auto found = known_.constFind(key); keyed && found != known_.cend())
        return *found;
    const std::optional<Verse> inTable = read(book, chapter, verse);
    if (!inTable)
        return std::nullopt;
    const VerseWords words = inTable->text ? verseWords(*inTable->text) : VerseWords{};
    if (keyed)
        known_.insert(key, words);
    return words;
}
