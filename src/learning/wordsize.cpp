#include "learning/wordsize.h"

#include "learning/tokens.h"

#include <QVarLengthArray>
#include <algorithm>

namespace {
// The shortest length is looked for from here down, so longer tokens never count as it.
constexpr int shortestSearchStart = 1000;
} // namespace

int NextSmallerSize(const QList<int> &wordLengths, int limit, int floor) {
    int best = floor;
    for (int length : wordLengths)
        if (length < limit && length > best)
            best = length;
    return best;
}

int minWordSizeOf(const QList<int> &wordLengths, int level) {
    int longest = 0;
    int shortest = shortestSearchStart;
    for (int length : wordLengths) {
        longest = std::max(longest, length);
        shortest = std::min(shortest, length);
    }
    if (level <= 1)
        return longest;
    int size = longest + 1;
    // Past the shortest every word is blanked, however high the level.
    for (int step = 0; step < level && size > 0; ++step)
        size = size > shortest ? NextSmallerSize(wordLengths, size, shortest) : 0;
    return size;
}

int wordSizeSteps(const QList<int> &wordLengths) {
    // Counted for every verse of a progress report, so without a list of its own.
    QVarLengthArray<int, 128> lengths(wordLengths.begin(), wordLengths.end());
    std::sort(lengths.begin(), lengths.end());
    const auto positive = std::upper_bound(lengths.begin(), lengths.end(), 0);
    return int(std::unique(positive, lengths.end()) - positive);
}

VerseWords verseWords(const QString &text) {
    const QList<int> lengths = tokenLengths(text);
    return {wordSizeSteps(lengths), *std::max_element(lengths.cbegin(), lengths.cend())};
}
