#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

// One blank of a question page, numbered from 1 through the whole page.
struct Blank {
    qint64 verseId = 0; // PassageVerses.id
    QString expected;   // the run of words exactly as the page shows it, leading blanks included
    bool operator==(const Blank &) const = default;
};

// The words of a verse, as the verse table holds them.
struct VerseText {
    QString book; // named as the learner reads it
    int chapter = 0;
    int verse = 0;
    QString text;
};

// A verse of the passage as the page needs it: its learning record and its text, if the
// verse table has it.
struct PageVerse {
    qint64 id = 0;
    int minWordSize = 0;
    QString scheduleDate; // "YYYY-MM-DD HH:MM:SS"
    std::optional<VerseText> text;
};

struct BuiltPage {
    QString html;
    QList<Blank> blanks;
};

// The fill-in-the-blank page of these verses, in order: a verse that is due (DueAt) has every
// run of words at least its minWordSize long blanked, any other is shown whole, and one
// without text is left out. Every value is HTML-escaped.
BuiltPage buildPage(const QList<PageVerse> &verses, const QDateTime &now);

// The page shown when no passage yields a blank.
QString emptyPage();

// Rows of the text area of a final blank longer than 100 characters: length / 100 + 1,
// a half rounded to the even neighbour.
int textAreaRows(int length);
