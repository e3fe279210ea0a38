#include "store/wordsize.h"

#include "learning/tokens.h"
#include "learning/wordsize.h"

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
    const Place place{book, chapter, verse};
    if (const auto found = known_.constFind(place); found != known_.cend())
        return *found;
    const std::optional<Verse> inTable = read(book, chapter, verse);
    if (!inTable)
        return std::nullopt;
    return known_.insert(place, inTable->text ? verseWords(*inTable->text) : VerseWords{}).value();
}
