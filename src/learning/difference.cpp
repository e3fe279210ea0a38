#include "learning/difference.h"

#include "learning/answers.h"
#include "learning/tokens.h"

#include <QVarLengthArray>
#include <algorithm>

namespace {
const QString marks = QStringLiteral(";:.,()!\"?");

struct Word {
    QString text;
    bool blankBefore = false;
};

QList<Word> wordsOf(const QString &text) {
    QList<Word> words;
    bool blank = false;
    bool joinable = false; // the last word may grow: it is no mark and no blank came after it
    for (const QChar c : text) {
        if (c == u' ') {
            blank = true;
            joinable = false;
        } else if (marks.contains(c) || !joinable) {
            words.append({QString(c), blank && !words.isEmpty()});
            blank = false;
            joinable = !marks.contains(c);
        } else {
            words.last().text += c;
        }
    }
    return words;
}

void add(QList<DiffSegment> &segments, DiffSegment::Kind kind, const Word &word) {
    if (segments.isEmpty())
        return segments.append({kind, word.text});
    DiffSegment &last = segments.last();
    // A word is parted from a mistake beside it even where the text joins them.
    const bool parted = word.blankBefore || (last.kind != kind && last.kind != DiffSegment::Same &&
                                             !marks.contains(word.text));
    const QString text = parted ? ' ' + word.text : word.text;
    if (last.kind == kind)
        last.text += text;
    else
        segments.append({kind, text});
}
} // namespace

QList<DiffSegment> wordDifference(const QString &typed, const QString &expected) {
    const QList<Word> a = wordsOf(typed);
    const QList<Word> b = wordsOf(expected);
    const qsizetype n = a.size(), m = b.size();
    const auto same = [&](qsizetype i, qsizetype j) { return isRight({0, b[j].text, a[i].text}); };
    // The longest common run of words, from the ends backwards: common[i][j] for a[i..], b[j..].
    QVarLengthArray<int, 1024> common((n + 1) * (m + 1), 0);
    const auto at = [&](qsizetype i, qsizetype j) -> int & { return common[i * (m + 1) + j]; };
    for (qsizetype i = n - 1; i >= 0; --i)
        for (qsizetype j = m - 1; j >= 0; --j)
            at(i, j) = same(i, j) ? at(i + 1, j + 1) + 1 : std::max(at(i + 1, j), at(i, j + 1));
    QList<DiffSegment> segments;
    qsizetype i = 0, j = 0;
    while (i < n || j < m) {
        if (i < n && j < m && same(i, j)) {
            add(segments, DiffSegment::Same, b[j]);
            ++i, ++j;
        } else if (i < n && (j == m || at(i + 1, j) >= at(i, j + 1))) {
            add(segments, DiffSegment::Typed, a[i++]);
        } else {
            add(segments, DiffSegment::Expected, b[j++]);
        }
    }
    const bool differs = std::any_of(segments.cbegin(), segments.cend(), [](const auto &segment) {
        return segment.kind != DiffSegment::Same;
    });
    if (!differs && !isRight({0, expected, typed}))
        return {{DiffSegment::Typed, trimBlanks(typed)},
                {DiffSegment::Expected, ' ' + trimBlanks(expected)}};
    return segments;
}
