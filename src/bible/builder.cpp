#include "bible/builder.h"

#include "core/error.h"
#include "core/partfile.h"
#include "db/database.h"
#include "db/schema.h"

#include <localemgr.h>
#include <swlocale.h>
#include <swmgr.h>
#include <swmodule.h>
#include <versekey.h>
#include <versificationmgr.h>

#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <cstring>
#include <mutex>

namespace {

// Options that would put notes, headings or tags into the text. Vowel points, accents
// and textual variants stay as the module sets them: they are part of the text itself.
constexpr const char *optionsTurnedOff[] = {
    "Footnotes",
    "Headings",
    "Strong's Numbers",
    "Morphological Tags",
    "Cross-references",
    "Lemmas",
    "Glosses",
    "Transliterated Forms",
    "Enumerations",
    "Morpheme Segmentation",
    "Words of Christ in Red",
    "Transliteration",
};

bool isBible(const sword::SWModule *module) {
    return std::strcmp(module->getType(), sword::SWMgr::MODTYPE_BIBLES) == 0;
}

Translation translationOf(const sword::SWModule *module) {
    const QString name = QString::fromUtf8(module->getName());
    const QString abbreviation = QString::fromUtf8(module->getConfigEntry("Abbreviation"));
    return {name, abbreviation.isEmpty() ? name : abbreviation,
            QString::fromUtf8(module->getDescription()), QString::fromUtf8(module->getLanguage())};
}

// Held by whoever uses SWORD: its versification and locale managers, and its keys'
// instance count and locale cache, are shared by the whole process without locks of their
// own. Recursive, so that a thread holding a source can still list the modules.
std::recursive_mutex &swordTurn() {
    static std::recursive_mutex turn;
    return turn;
}

// SWORD's locale for a language code: "pt-BR" tries pt_BR, then pt. None where SWORD has
// no names in the language (asked for one it lacks, it would give its default).
sword::SWLocale *localeFor(QString code) {
    sword::LocaleMgr *locales = sword::LocaleMgr::getSystemLocaleMgr();
    const sword::StringList available = locales->getAvailableLocales();
    code.replace(u'-', u'_');
    for (const QString &name : {code, code.section(u'_', 0, 0)}) {
        const sword::SWBuf wanted(name.toUtf8().constData());
        if (!name.isEmpty() &&
            std::find(available.begin(), available.end(), wanted) != available.end())
            return locales->getLocale(wanted.c_str());
    }
    return nullptr;
}

} // namespace

struct VerseSource::Private {
    std::unique_lock<std::recursive_mutex> turn{swordTurn()};
    sword::SWMgr manager;
    sword::SWModule *module = nullptr;
    std::unique_ptr<sword::VerseKey> key;
    const sword::VersificationMgr::System *versification = nullptr;
    int oldTestamentBooks = 0;
};

QList<Translation> VerseSource::installedBibles() {
    const std::lock_guard turn(swordTurn());
    sword::SWMgr manager;
    QList<Translation> bibles;
    for (const auto &[name, module] : manager.getModules())
        if (isBible(module))
            bibles.append(translationOf(module));
    return bibles;
}

VerseSource::VerseSource(const QString &moduleName) : d(std::make_unique<Private>()) {
    const auto &modules = d->manager.getModules();
    const auto found = modules.find(moduleName.toUtf8().constData());
    if (found == modules.end() || !isBible(found->second))
        throw Error(Error::BadInput, QStringLiteral("no Bible module named \"%1\" is installed; "
                                                    "--list-modules lists those that are")
                                         .arg(moduleName));
    d->module = found->second;
    d->key.reset(dynamic_cast<sword::VerseKey *>(d->module->createKey()));
    if (!d->key)
        throw Error(Error::BadInput,
                    QStringLiteral("the module \"%1\" has no verses").arg(moduleName));
    d->versification = sword::VersificationMgr::getSystemVersificationMgr()->getVersificationSystem(
        d->key->getVersificationSystem());
    if (!d->versification)
        throw Error(Error::BadInput,
                    QStringLiteral("the module \"%1\" uses an unknown versification %2")
                        .arg(moduleName, QString::fromUtf8(d->key->getVersificationSystem())));
    for (const char *option : optionsTurnedOff)
        d->manager.setGlobalOption(option, "Off");
    d->key->setTestament(1);
    d->oldTestamentBooks = d->key->getBookMax();
}

VerseSource::~VerseSource() = default;

Translation VerseSource::translation() const {
    return translationOf(d->module);
}

int VerseSource::bookCount() const {
    return d->versification->getBookCount();
}

int VerseSource::verseCount() const {
    int count = 0;
    for (int index = 0; index < bookCount(); ++index) {
        const auto *book = d->versification->getBook(index);
        for (int chapter = 1; chapter <= book->getChapterMax(); ++chapter)
            count += book->getVerseMax(chapter);
    }
    return count;
}

QStringList VerseSource::bookNames() const {
    sword::SWLocale *locale = localeFor(QString::fromUtf8(d->module->getLanguage()));
    QStringList names;
    for (int index = 0; index < bookCount(); ++index) {
        const char *english = d->versification->getBook(index)->getLongName();
        // A locale gives back the text it lacks. SWORD with Unicode support, as Debian's
        // is, loads only its UTF-8 locales.
        const char *translated = locale ? locale->translate(english) : english;
        names.append(std::strcmp(translated, english) == 0
                         ? readerBookName(QString::fromUtf8(english))
                         : QString::fromUtf8(translated));
    }
    return names;
}

void VerseSource::forEachVerse(const std::function<void(const SourceVerse &)> &visit) {
    sword::VerseKey &key = *d->key;
    SourceVerse verse;
    for (int index = 0; index < bookCount(); ++index) {
        const auto *book = d->versification->getBook(index);
        // The versification names books without regard to the locale; SWORD's key would
        // translate them.
        verse.bookNum = index + 1;
        verse.book = readerBookName(QString::fromUtf8(book->getLongName()));
        const bool old = index < d->oldTestamentBooks;
        key.setTestament(old ? 1 : 2);
        key.setBook(char(old ? index + 1 : index + 1 - d->oldTestamentBooks));
        for (int chapter = 1; chapter <= book->getChapterMax(); ++chapter) {
            key.setChapter(chapter);
            verse.chapter = chapter;
            for (int number = 1; number <= book->getVerseMax(chapter); ++number) {
                key.setVerse(number);
                d->module->setKey(key);
                verse.verse = number;
                verse.text = QString::fromUtf8(d->module->stripText());
                visit(verse);
            }
        }
    }
}

namespace {
// Not words: the pilcrow, a paragraph mark, and invisible format characters such as a
// right-to-left mark; but not the joiners with which some scripts spell.
bool isLayout(char32_t point) {
    return point == u'\u00B6' || (QChar::category(point) == QChar::Other_Format &&
                                  point != u'\u200C' && point != u'\u200D');
}
} // namespace

QString plainVerseText(const QString &stripped, bool keepCharacters) {
    // Tags a module's filters missed, and the odd USFM marker ("\nd ") left in an OSIS text.
    static const QRegularExpression markup(QStringLiteral(R"(<[^>]*>|\\\+?[a-z]+[0-9]*\*?)"));
    // Typography a learner cannot type; letters of the module's language are kept.
    static const struct {
        char16_t from;
        const char *to;
    } folding[] = {
        {u'\u2018', "'"},  {u'\u2019', "'"},  {u'\u201A', "'"},   {u'\u201B', "'"},
        {u'\u201C', "\""}, {u'\u201D', "\""}, {u'\u201E', "\""},  {u'\u201F', "\""},
        {u'\u2010', "-"},  {u'\u2011', "-"},  {u'\u2012', "-"},   {u'\u2013', "-"},
        {u'\u2014', "-"},  {u'\u2015', "-"},  {u'\u2026', "..."}, {u'\u00E6', "ae"},
        {u'\u00C6', "Ae"}, {u'\u0153', "oe"}, {u'\u0152', "Oe"},
    };
    QString text = stripped;
    // The expression is the dearest step, and nearly every verse can skip it.
    if (text.contains(u'<') || text.contains(u'\\'))
        text.remove(markup);
    QString plain;
    plain.reserve(text.size());
    for (qsizetype at = 0; at < text.size(); ++at) {
        const QChar c = text.at(at);
        if (c.unicode() < 0x80) {
            plain.append(c);
            continue;
        }
        // Whole code points: a few format characters lie beyond the first plane.
        const qsizetype length =
            c.isHighSurrogate() && at + 1 < text.size() && text.at(at + 1).isLowSurrogate() ? 2 : 1;
        const char32_t point =
            length == 2 ? QChar::surrogateToUcs4(c, text.at(at + 1)) : c.unicode();
        const auto *fold = std::end(folding);
        if (!keepCharacters)
            fold = std::find_if(std::begin(folding), std::end(folding),
                                [point](const auto &entry) { return entry.from == point; });
        if (fold != std::end(folding))
            plain.append(QLatin1String(fold->to));
        else if (!isLayout(point))
            plain.append(QStringView(text).sliced(at, length));
        at += length - 1;
    }
    return plain.simplified();
}

QString readerBookName(const QString &swordName) {
    static const QRegularExpression romanPrefix(QStringLiteral("^(I{1,3}|IV) "));
    if (swordName == QLatin1String("Revelation of John"))
        return QStringLiteral("Revelation");
    const QRegularExpressionMatch match = romanPrefix.match(swordName);
    if (!match.hasMatch())
        return swordName;
    const QString roman = match.captured(1);
    const int number = roman == QLatin1String("IV") ? 4 : int(roman.size());
    return QString::number(number) + swordName.mid(match.capturedLength(1));
}

namespace {
// The translation and its books' names, beside the verses they describe.
void describe(Database &db, const VerseSource &source) {
    const Translation translation = source.translation();
    Statement(db, "INSERT INTO Bible (Module, Abbreviation, Description, Language) "
                  "VALUES (?, ?, ?, ?)")
        .bindAll(translation.module, translation.abbreviation, translation.description,
                 translation.language)
        .run();
    Statement insert(db, "INSERT INTO BibleBooks (BookNum, Name) VALUES (?, ?)");
    const QStringList names = source.bookNames();
    for (int index = 0; index < names.size(); ++index)
        insert.bindAll(index + 1, names[index]).run();
}

struct Stopped {};

// Fills the empty verse table and the description in one transaction. False when the
// progress callback stopped it; nothing is written then.
bool importVerses(Database &db, VerseSource &source, const BuildOptions &options,
                  BuildCount &count) {
    const int total = source.verseCount();
    const auto goOn = [&] { return !options.progress || options.progress(count.verses, total); };
    if (!goOn())
        return false;
    Transaction transaction(db);
    describe(db, source);
    Statement insert(db, "INSERT INTO kjv (BookNum, Book, Chapter, Verse, VerseText) "
                         "VALUES (?, ?, ?, ?, ?)");
    try {
        source.forEachVerse([&](const SourceVerse &verse) {
            // A chapter at a time: often enough for a bar and a prompt stop, seldom
            // enough to cost nothing.
            if (verse.verse == 1 && count.verses > 0 && !goOn())
                throw Stopped();
            insert.bindAll(verse.bookNum, verse.book, verse.chapter, verse.verse,
                           plainVerseText(verse.text, options.keepCharacters));
            insert.run();
            ++count.verses;
            count.books = verse.bookNum;
        });
    } catch (const Stopped &) {
        return false;
    }
    if (!goOn())
        return false;
    transaction.commit();
    return true;
}
} // namespace

std::optional<BuildCount> buildDatabase(const QString &target, VerseSource &source,
                                        const BuildOptions &options) {
    const QFileInfo info(target);
    const QString folder = info.absolutePath();
    if (!QFileInfo(folder).isDir())
        throw Error(Error::FileSystem, QStringLiteral("the folder %1 does not exist").arg(folder));
    const auto refuseExisting = [&] {
        return Error(Error::FileExists,
                     QStringLiteral("%1 exists already; a database is never overwritten")
                         .arg(info.absoluteFilePath()));
    };
    // Saves a build that would be refused at the end anyway; putting it in place is the
    // real guard.
    if (info.exists() || info.isSymLink())
        throw refuseExisting();

    removeDeadWritersParts(folder, [&](const QString &name) { return name == info.fileName(); });
    PartFile part(info.absoluteFilePath());
    BuildCount count;
    {
        Database db(part.path());
        createSchema(db);
        if (!importVerses(db, source, options, count))
            return std::nullopt; // the part goes with the unwinding
        db.close();
    }
    try {
        part.putInPlace();
    } catch (const Error &error) {
        throw error.is(Error::FileExists) ? refuseExisting() : error;
    }
    return count;
}

std::optional<BuildCount> buildDatabase(const QString &target, const QString &moduleName,
                                        const BuildOptions &options) {
    VerseSource source(moduleName);
    return buildDatabase(target, source, options);
}
