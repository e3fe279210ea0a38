#include "store/wordsize.h"

#include "learning/tokens.h"
#include "learning/wordsize.h"

#include <algorithm>

int WordSizeMeasure::operator()(qint64 book, qint64 chapter, qint64 verse, int level) {
    const std::optional<Verse> found = read_(book, chapter, verse);
    if (!found)
        return minWordSizeOf({}, level);
    if (!found->text)
        throw nullError();
    return minWordSizeOf(tokenLengths(*found->text), level);
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

const VerseWords *VerseWordsCache::find(quint64 key) const {
    for (std::size_t at : {last_ + 1, last_})
        if (at < known_.size() && known_[at].first == key)
            return &known_[last_ = at].second;
    const auto found = std::lower_bound(known_.begin(), known_.end(), key,
                                        [](const Entry &entry, quint64 k) { return entry.first < k; });
    if (found == known_.end() || found->first != key)
        return nullptr;
    last_ = std::size_t(found - known_.begin());
    return &found->second;
}

void VerseWordsCache::keep(std::vector<Entry> &&sorted) {
    const auto middle = known_.insert(known_.end(), sorted.begin(), sorted.end());
    std::inplace_merge(known_.begin(), middle, known_.end(),
                       [](const Entry &a, const Entry &b) { return a.first < b.first; });
}

std::optional<VerseWords> VerseWordsCache::known(const VersePlace &place) const {
    const VerseWords *found = keyed(place) ? find(key(place)) : nullptr;
    return found ? std::optional(*found) : std::nullopt;
}

void VerseWordsCache::learn(Database &db, const QList<VersePlace> &verses) {
    QList<VersePlace> places;
    for (const VersePlace &place : verses)
        if (keyed(place) && !known(place))
            places.append(place);
    if (places.isEmpty())
        return;
    std::sort(places.begin(), places.end());
    places.erase(std::unique(places.begin(), places.end()), places.end());
    std::vector<Entry> measured; // in reading order, as read
    measured.reserve(std::size_t(places.size()));
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
                measured.emplace_back(key(at), wordsOf(read.text()));
        }
    }
    keep(std::move(measured));
}
