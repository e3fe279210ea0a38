#include "bible/builder.h"

#include "core/error.h"
#include "core/partfile.h"
#include "db/database.h"
#include "db/schema.h"

#include <swmgr.h>
#include <swmodule.h>
#include <versekey.h>
#include <versificationmgr.h>

#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <cstring>

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

} // namespace

struct VerseSource::Private {
    sword::SWMgr manager;
    sword::SWModule *module = nullptr;
    std::unique_ptr<sword::VerseKey> key;
    const sword::VersificationMgr::System *versification = nullptr;
    int oldTestamentBooks = 0;
};

QList<ModuleInfo> VerseSource::installedBibles() {
    sword::SWMgr manager;
    QList<ModuleInfo> bibles;
    for (const auto &[name, module] : manager.getModules())
        if (isBible(module))
            bibles.append(
                {QString::fromUtf8(name.c_str()), QString::fromUtf8(module->getDescription())});
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

ModuleInfo VerseSource::module() const {
    return {QString::fromUtf8(d->module->getName()),
            QString::fromUtf8(d->module->getDescription())};
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
    // A paragraph mark is layout, not words, whatever characters are kept.
    text.remove(u'\u00B6');
    if (!keepCharacters) {
        QString folded;
        folded.reserve(text.size());
        for (const QChar c : std::as_const(text)) {
            const auto *fold = std::end(folding);
            if (c.unicode() >= 0x80)
                fold = std::find_if(std::begin(folding), std::end(folding),
                                    [c](const auto &entry) { return entry.from == c; });
            if (fold == std::end(folding))
                folded.append(c);
            else
                folded.append(QLatin1String(fold->to));
        }
        text = folded;
    }
    return text.simplified();
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

BuildCount importVerses(Database &db, VerseSource &source, const BuildOptions &options) {
    const int total = source.verseCount();
    BuildCount count;
    Transaction transaction(db);
    Statement insert(db, "INSERT INTO kjv (BookNum, Book, Chapter, Verse, VerseText) "
                         "VALUES (?, ?, ?, ?, ?)");
    if (options.progress)
        options.progress(0, total);
    source.forEachVerse([&](const SourceVerse &verse) {
        insert.bindAll(verse.bookNum, verse.book, verse.chapter, verse.verse,
                       plainVerseText(verse.text, options.keepCharacters));
        insert.run();
        ++count.verses;
        count.books = verse.bookNum;
        if (options.progress)
            options.progress(count.verses, total);
    });
    transaction.commit();
    return count;
}

BuildCount buildDatabase(const QString &target, VerseSource &source, const BuildOptions &options) {
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
        count = importVerses(db, source, options);
        db.close();
    }
    try {
        part.putInPlace();
    } catch (const Error &error) {
        throw error.is(Error::FileExists) ? refuseExisting() : error;
    }
    return count;
}
