#pragma once

#include <QList>
#include <QString>
#include <functional>
#include <memory>

class Database;

// The builder's shared code: reading an installed SWORD Bible module, making its text
// plain, and filling the verse table of a new database. SWORD stays behind this header.

struct ModuleInfo {
    QString name;
    QString description;
};

struct SourceVerse {
    int bookNum = 0; // 1.. in reading order, consecutive over both testaments
    QString book;
    int chapter = 0;
    int verse = 0;
    QString text; // what SWORD's stripText gives: no markup, not yet plain
};

// One Bible module, read verse by verse in the order of its versification.
class VerseSource {
public:
    // The King James Version of Debian's sword-text-kjv.
    static constexpr const char *defaultModule = "engKJV2006eb";

    // Installed Bible text modules, by name.
    static QList<ModuleInfo> installedBibles();

    // Throws BadInput when no Bible module of that name is installed.
    explicit VerseSource(const QString &moduleName);
    ~VerseSource();
    VerseSource(const VerseSource &) = delete;
    VerseSource &operator=(const VerseSource &) = delete;

    ModuleInfo module() const;
    int bookCount() const;
    int verseCount() const;

    // Every verse of every book: chapters and verses from 1 without gaps, no intros or
    // headings; a verse the module lacks comes with empty text.
    void forEachVerse(const std::function<void(const SourceVerse &)> &visit);

private:
    struct Private;
    std::unique_ptr<Private> d;
};

// The text a reader can type: no markup or pilcrows, white space collapsed and trimmed.
// Unless keepCharacters, typographic quotes, dashes and ligatures become plain ones.
QString plainVerseText(const QString &stripped, bool keepCharacters);

// A book name as readers know it: "1 Samuel" for SWORD's "I Samuel", "Revelation".
QString readerBookName(const QString &swordName);

struct BuildOptions {
    bool keepCharacters = false;
    std::function<void(int done, int total)> progress; // may be empty
};

struct BuildCount {
    int verses = 0;
    int books = 0;
};

// Fills the empty verse table in one transaction.
BuildCount importVerses(Database &db, VerseSource &source, const BuildOptions &options);

// Makes a new database at target with the whole schema and the verse table filled. The
// file appears there complete or not at all, and an existing file is never replaced
// (FileExists). The target's folder must exist (FileSystem otherwise).
BuildCount buildDatabase(const QString &target, VerseSource &source, const BuildOptions &options);
