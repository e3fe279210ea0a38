#include "learning/answers.h"

#include "learning/tokens.h"

QString CookVerse(const QString &verse) {
    QString text = verse;
    while (text.contains(QLatin1String("  ")))
        text.replace(QLatin1String("  "), QLatin1String(" "));
    // In this order: each pair leaves one blank at most beside a mark for the next pairs.
    static const char *const blanksBeside[][2] = {
        {" ;", ";"}, {"; ", ";"}, {" :", ":"},   {": ", ":"},   {" .", "."},   {". ", "."},
        {" ,", ","}, {", ", ","}, {"( ", "("},   {" (", "("},   {") ", ")"},   {" )", ")"},
        {"! ", "!"}, {" \"", "\""}, {"\" ", "\""}, {" ?", "?"}, {"? ", "?"},
    };
    for (const auto &[from, to] : blanksBeside)
        text.replace(QLatin1String(from), QLatin1String(to));
    return trimBlanks(text);
}

namespace {
// A text as judging reads it. An accent stored as a mark of its own reads as the letter a
// keyboard types, and the invisible format characters that no keyboard types (a
// right-to-left mark) are not there: verse tables built before the builder dropped them
// still hold some. A line break or a tab reads as the blank the page shows for it, and a
// one-line blank makes of a pasted one; any other control character (a NUL) is not there,
// as the page shows none. Letter case is folded while every accent stands apart, so that a
// capital and its small letter stay alike with an accent on them (I and i with a dot above
// make one letter only as a capital).
QString judged(const QString &text) {
    QString visible;
    visible.reserve(text.size());
    for (const char32_t point : text.toUcs4()) {
        const QChar::Category category = QChar::category(point);
        if (category == QChar::Other_Control && QChar::isSpace(point))
            visible += u' ';
        else if (category != QChar::Other_Format && category != QChar::Other_Control)
            visible += QChar::fromUcs4(point);
    }
    return CookVerse(visible.normalized(QString::NormalizationForm_D)
                         .toCaseFolded()
                         .normalized(QString::NormalizationForm_C));
}
} // namespace

bool sameText(const QString &a, const QString &b) { return judged(a) == judged(b); }

bool isRight(const BlankAnswer &blank) {
    return sameText(blank.typed, blank.expected);
}

Judgement judgePage(const QList<BlankAnswer> &blanks) {
    Judgement judgement;
    judgement.pageRight = !blanks.isEmpty();
    for (qsizetype n = 0; n < blanks.size(); ++n) {
        const BlankAnswer &blank = blanks[n];
        // A verse's blanks come together; a new verse id begins the next verse.
        if (judgement.verses.isEmpty() || judgement.verses.last().first != blank.verseId)
            judgement.verses.append({blank.verseId, true});
        if (!isRight(blank)) {
            judgement.pageRight = false;
            judgement.verses.last().second = false;
            judgement.wrongBlanks.append(int(n + 1));
        }
    }
    return judgement;
}

std::optional<Judgement> judgeReadBack(const QList<Blank> &built, const QList<BlankAnswer> &read) {
    if (read.size() != built.size())
        return std::nullopt;
    QList<BlankAnswer> typed;
    typed.reserve(read.size());
    for (qsizetype n = 0; n < read.size(); ++n) {
        if (read[n].verseId != built[n].verseId)
            return std::nullopt;
        typed.append({built[n].verseId, built[n].expected, read[n].typed});
    }
    return judgePage(typed);
}
