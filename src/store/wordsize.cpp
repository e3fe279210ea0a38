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

namespace {
constexpr qint64 numbers = 1 << 20;

bool keyed(const VersePlace &place) {
    return std::max({place.book, place.chapter, place.verse}) < numbers &&
           std::min({place.book, place.chapter, place.verse}) >= 0;
}

quint64 key(const VersePlace &place) {
    return (quint64(place.book) << 40) | (quint64(place.chapter) << 20) | quint64(place.verse);
}

VerseWords wordsOf(const std::optional<QString> &text) {
    return text ? verseWords(*text) : VerseWords{};
}
} // namespace

std::optional<VerseWords> VerseWordsCache::operator()(VerseReader &read, qint64 book,
                                                      qint64 chapter, qint64 verse) {
    const VersePlace place{book, chapter, verse};
    if (const auto found = known_.constFind(key(place)); keyed(place) && found != known_.cend())
        return *found;
    const std::optional<Verse> inTable = read(book, chapter, verse);
    if (!inTable)
        return std::nullopt;
    const VerseWords words = wordsOf(inTable->text);
    if (keyed(place))
        known_.insert(key(place), words);
    return words;
}

bool VerseWordsCache::knows(const VersePlace &place) const {
    return keyed(place) && known_.contains(key(place));
}

void VerseWordsCache::learn(Database &db, const QList<VersePlace> &verses) {
    QList<VersePlace> places;
    for (const VersePlace &place : verses)
        if (keyed(place) && !knows(place))
            places.append(place);
    if (places.isEmpty())
        return;
    std::sort(places.begin(), places.end());
    places.erase(std::unique(places.begin(), places.end()), places.end());
    known_.reserve(known_.size() + places.size());
    VerseRangeReader read(db);
    for (qsizetype first = 0, last = 0; first < places.size(); first = ++last) {
        // A run is the verses of one chapter: what lies between them is read for nothing,
        // never more than a chapter.
        while (last + 1 < places.size() && places[last + 1].book == places[first].book &&
               places[last + 1].chapter == places[first].chapter)
            ++last;
        read.start(places[first], places[last]);
        for (qsizetype wanted = first; wanted <= last && read.next();) {
            const VersePlace at = read.place();
            while (wanted <= last && places[wanted] < at)
                ++wanted;
            if (wanted <= last && places[wanted] == at)
                known_.insert(key(at), wordsOf(read.text()));
        }
    }
}
