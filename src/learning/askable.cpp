#include "learning/askable.h"

#include "learning/tokens.h"

namespace {
bool earlier(const QString &a, const QString &b) {
    return QStringView(a).left(16) < QStringView(b).left(16);
}
} // namespace

bool yieldsBlank(const PageVerse &verse) {
    return verse.text && hasTokenOfAtLeast(verse.text->text, verse.minWordSize);
}

Askable askable(const QString &passageDate, const QList<PageVerse> &shown) {
    Askable result;
    for (const PageVerse &verse : shown) {
        std::optional<QString> from;
        if (yieldsBlank(verse))
            from = earlier(passageDate, verse.scheduleDate) ? verse.scheduleDate : passageDate;
        if (from && (!result.passage || earlier(*from, *result.passage)))
            result.passage = from;
        result.verses.append(from);
    }
    return result;
}
