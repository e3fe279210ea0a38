-- Versekeep database. The program reads and writes these tables but never creates,
-- alters or drops one; versekeep-makedb and the tests make them from this file.
-- Dates are local time as text, YYYY-MM-DD HH:MM:SS. Ids are never used again: a row
-- another copy of the program still refers to must not come back as someone else's.

CREATE TABLE Users (
    id   INTEGER PRIMARY KEY AUTOINCREMENT,
    Name TEXT NOT NULL COLLATE NOCASE
);
CREATE INDEX UsersByName ON Users (Name);

CREATE TABLE Passages (
    id             INTEGER PRIMARY KEY AUTOINCREMENT,
    startbook      TEXT NOT NULL,
    startchapter   INTEGER NOT NULL,
    startverse     INTEGER NOT NULL,
    endbook        TEXT NOT NULL,
    endchapter     INTEGER NOT NULL,
    endverse       INTEGER NOT NULL,
    passagelevel   INTEGER NOT NULL DEFAULT 1,
    username       TEXT NOT NULL,
    UserID         INTEGER NOT NULL,
    scheduledate   TEXT NOT NULL,
    passageScore   INTEGER NOT NULL DEFAULT 0,
    numVersestoAsk INTEGER NOT NULL DEFAULT 1,
    numVerses      INTEGER NOT NULL DEFAULT 0
);
CREATE INDEX PassagesByUser ON Passages (UserID);
CREATE INDEX PassagesByUserName ON Passages (username, scheduledate);

CREATE TABLE PassageVerses (
    id            INTEGER PRIMARY KEY AUTOINCREMENT,
    passageID     INTEGER NOT NULL,
    VerseBook     INTEGER NOT NULL,
    verseChapter  INTEGER NOT NULL,
    VerseNum      INTEGER NOT NULL,
    verseLevel    INTEGER NOT NULL DEFAULT 1,
    WordSizeLevel INTEGER NOT NULL DEFAULT 1,
    minWordSize   INTEGER NOT NULL DEFAULT 0,
    verseScore    INTEGER NOT NULL DEFAULT 0,
    ScheduleDate  TEXT NOT NULL
);
-- A passage's verses in reading order, as the question page takes them.
CREATE INDEX PassageVersesByPassage ON PassageVerses (passageID, VerseBook, verseChapter, VerseNum);

-- The verse text; read only to the program.
CREATE TABLE kjv (
    BookNum   INTEGER NOT NULL,
    Book      TEXT NOT NULL,
    Chapter   INTEGER NOT NULL,
    Verse     INTEGER NOT NULL,
    VerseText TEXT,
    PRIMARY KEY (BookNum, Chapter, Verse)
) WITHOUT ROWID;

-- The Bible the verse table was built from, for display: one row. Files made before
-- the builder wrote it lack this table and the next; they show no translation and the
-- verse table's own book names.
CREATE TABLE Bible (
    Module       TEXT NOT NULL, -- SWORD's name for it
    Abbreviation TEXT NOT NULL,
    Description  TEXT NOT NULL,
    Language     TEXT NOT NULL  -- a language code: en, es, pt-BR
);

-- Each book's name in the Bible's language, as the windows show it. kjv.Book keeps the
-- English name, which passages store.
CREATE TABLE BibleBooks (
    BookNum INTEGER PRIMARY KEY,
    Name    TEXT NOT NULL
);
