#pragma once

#include <QList>
#include <QString>

// A stretch of a wrong blank's correction: words both texts share (shown as expected), words
// typed that were not expected, or expected words that were not typed.
struct DiffSegment {
    enum Kind { Same, Typed, Expected };
    Kind kind = Same;
    QString text; // with a leading blank where one parts it from the segment before
    bool operator==(const DiffSegment &) const = default;
};

// What was typed against what was expected, word by word: words and the marks
// ; : . , ( ) ! " ? compared as isRight compares, so letter case and blanks make no
// difference; in each stretch that differs, the typed words come before the expected ones.
// Texts that read alike word by word while isRight still tells them apart (a blank before
// "!") come as the whole typed text against the whole expected text.
QList<DiffSegment> wordDifference(const QString &typed, const QString &expected);
