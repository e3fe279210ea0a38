#include "store/wordsize.h"

#include "learning/tokens.h"
#include "learning/wordsize.h"

int WordSizeMeasure::operator()(qint64 book, qint64 chapter, qint64 verse, int level) {
    const std::optional<Verse> found = read_(book, chapter, verse);
    if (!found)
        return 0;
    if (!found->text)
        throw nullError();
    return minWordSizeOf(tokenLengths(*found->text), level);
}

int GetMinWordSize(Database &db, qint64 book, qint64 chapter, qint64 verse, int level) {
    return WordSizeMeasure(db)(book, chapter, verse, level);
}
