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
    QList<AskableVerse> verses;
    verses.reserve(shown.size());
    for (const PageVerse &verse : shown)
        verses.append({verse.scheduleDate, yieldsBlank(verse)});
    return askable(passageDate, verses);
}

Askable askable(const QString &passageDate, const QList<AskableVerse> &verses) {
    Askable result;
    result.verses.reserve(verses.size());
    for (const AskableVerse &verse : verses) {
        std::optional<QString> from;
        if (verse.blanks)
            from = earlier(passageDate, verse.scheduleDate) ? verse.scheduleDate : passageDate;
        if (from && (!result.passage || earlier(*from, *result.passage)))
            result.passage = from;
        result.verses.append(from);
    }
    return result;
}
