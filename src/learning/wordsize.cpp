#include "learning/wordsize.h"

#include "learning/tokens.h"

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

VerseWords verseWords(const QString &text) {
    const TokenSizes sizes = tokenSizes(text);
    return {sizes.distinct, sizes.longest};
}
