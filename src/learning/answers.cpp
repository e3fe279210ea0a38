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

bool isRight(const BlankAnswer &blank) {
    return CookVerse(blank.typed).compare(CookVerse(blank.expected), Qt::CaseInsensitive) == 0;
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
