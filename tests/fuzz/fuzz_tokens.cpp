#include "learning/tokens.h"

#include <algorithm>

#define CHECK(condition) ((condition) ? void() : qFatal("broken: %s", #condition))

// The token walk over any text: it ends, its two readings agree token by token, it neither
// drops nor repeats anything but blanks, and the quick test for a long token agrees with it.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const QStringList tokens = splitVerse(text);
    const QList<int> lengths = tokenLengths(text);
    CHECK(tokens.size() == lengths.size());
    QString joined;
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        CHECK(trimBlanks(tokens[i]).size() == lengths[i]);
        joined += tokens[i];
    }
    CHECK(joined.remove(u' ') == QString(text).remove(u' '));
    const int longest = *std::max_element(lengths.begin(), lengths.end());
    for (int length = longest - 1; length <= longest + 1; ++length)
        CHECK(hasTokenOfAtLeast(text, length) == (length <= longest));
    return 0;
}
