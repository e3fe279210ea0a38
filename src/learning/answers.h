#pragma once

#include "learning/page.h"

#include <QList>
#include <QString>

// Verse text with one canonical spacing: runs of blanks become one, the blanks beside the
// marks ; : . , ( ) " ? and after ! go, and so do those at either end. Only U+0020 is a
// blank; letters and their case are left alone.
QString CookVerse(const QString &verse);

// One blank as the learner left it.
struct BlankAnswer {
    qint64 verseId = 0;
    QString expected;
    QString typed;
    bool operator==(const BlankAnswer &) const = default;
};

// True when the texts read the same after CookVerse, letter case ignored, in one Unicode
// normal form (NFC, case folded as NFD), without invisible format characters, and with
// control characters read as the page shows them: white space as a blank, others as none.
bool sameText(const QString &a, const QString &b);

// Right when the typed text is the expected one (sameText).
bool isRight(const BlankAnswer &blank);

struct Judgement {
    bool pageRight = true; // every blank right
    // Each verse with its outcome, in page order: a verse is right when all its blanks are.
    QList<std::pair<qint64, bool>> verses;
    QList<int> wrongBlanks; // 1-based blank numbers
};

// A page with no blank is not right.
Judgement judgePage(const QList<BlankAnswer> &blanks);

// The blanks read back from the page, judged against the blanks it was built with: what was
// typed comes from the page, what was expected from the blanks built, for the browser may
// carry the page's copy changed (a NUL, a carriage return). None when the page does not hold
// the blanks built, verse by verse.
std::optional<Judgement> judgeReadBack(const QList<Blank> &built, const QList<BlankAnswer> &read);
