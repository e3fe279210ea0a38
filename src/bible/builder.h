#pragma once

#include "bible/versetable.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

class Database;

// The builder's shared code: the installed SWORD Bible modules, reading one, making its
// text plain, and filling the verse table of a new database. SWORD stays behind this
// header. SWORD keeps process-wide state without locks, so its use is taken in turns: a
// VerseSource holds the turn while it lives, and installedBibles waits for it. A source
// may live on a worker thread; it is used and destroyed on the thread that made it.

struct SourceVerse {
    int bookNum = 0; // 1.. in reading order, consecutive over both testaments
    QString book;    // the English name readers know, as the verse table stores it
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
    static QList<Translation> installedBibles();

    // Throws BadInput when no Bible module of that name is installed.
    explicit VerseSource(const QString &moduleName);
    ~VerseSource();
    VerseSource(const VerseSource &) = delete;
    VerseSource &operator=(const VerseSource &) = delete;

    Translation translation() const;
    int bookCount() const;
    int verseCount() const;
    // Each book's name in the module's language, from SWORD's locale for it; the English
    // name of SourceVerse::book where SWORD has no locale or no name for the book.
    QStringList bookNames() const;

    // Every verse of every book: chapters and verses from 1 without gaps, no intros or
    // headings; a verse the module lacks comes with empty text.
    void forEachVerse(const std::function<void(const SourceVerse &)> &visit);

private:
    struct Private;
    std::unique_ptr<Private> d;
};

// The text a reader can type: no markup, pilcrows or invisible format characters (but
// the joiners some scripts spell with), white space collapsed and trimmed. Unless
// keepCharacters, typographic quotes, dashes and ligatures become plain ones.
QString plainVerseText(const QString &stripped, bool keepCharacters);

// A book name as readers know it: "1 Samuel" for SWORD's "I Samuel", "Revelation".
QString readerBookName(const QString &swordName);

struct BuildOptions {
    bool keepCharacters = false;
    // Hears the verses done out of the total before the first, after each chapter and
    // after the last; returning false stops the build. May be empty.
    std::function<bool(int done, int total)> progress;
};

struct BuildCount {
    int verses = 0;
    int books = 0;
};

// Makes a new database at target with the whole schema, the verse table filled and the
// translation described with its book names. The file appears there complete or not at
// all, and an existing file is never replaced (FileExists). The target's folder must
// exist (FileSystem otherwise). None when the progress callback stopped the build: no
// file is left then either.
std::optional<BuildCount> buildDatabase(const QString &target, VerseSource &source,
                                        const BuildOptions &options);
// The same from the installed module of that name, read on the calling thread.
std::optional<BuildCount> buildDatabase(const QString &target, const QString &moduleName,
                                        const BuildOptions &options);

// The builder as the program reaches it: through a module of its own, loaded only at a
// first start, so that SWORD and the score of libraries it brings never slow a normal one.
struct BibleBuilder {
    QList<Translation> (*installedBibles)();
    std::optional<BuildCount> (*build)(const QString &target, const QString &moduleName,
                                       const BuildOptions &options);
};
// The module's one entry point: "versekeepBibleBuilder", taking nothing.
using BibleBuilderEntry = const BibleBuilder *(*)();
