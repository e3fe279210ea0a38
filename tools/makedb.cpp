// versekeep-makedb: makes a new Versekeep database and fills its verse table from an
// installed SWORD Bible module.

#include "bible/builder.h"
#include "core/error.h"
#include "core/settings.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

// Ctrl-C during the import stops the builder, which removes its temporary file.
volatile std::sig_atomic_t interruptedBy = 0;

void noteSignal(int signal) {
    interruptedBy = signal;
}

void catchInterruptions() {
    struct sigaction action = {};
    action.sa_handler = noteSignal;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction before = {};
        // A run started with a signal ignored (nohup, a background job) keeps ignoring it.
        if (sigaction(signal, nullptr, &before) == 0 && before.sa_handler != SIG_IGN)
            sigaction(signal, &action, nullptr);
    }
}

void print(FILE *stream, const QString &text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

QString helpText() {
    return QStringLiteral(
               "Makes a new Versekeep database: an encrypted file with every table Versekeep "
               "uses, its verse table filled from an installed SWORD Bible module (by default "
               "%1, the King James Version of the Debian package sword-text-kjv).\n\n"
               "FILE is the database to make; by default %2 (its folder is made if missing). "
               "An existing file is never overwritten: the build is refused and the file left "
               "as it was.\n\n"
               "Afterwards the database's folder and name are recorded in Versekeep's settings "
               "(%3), unless they are set already.\n\n"
               "The verse text is plain, with no notes, headings or Strong's numbers. Curly "
               "quotes become ' and \", dashes -, and the ligatures ae and oe two letters, so "
               "that every verse can be typed on an ordinary keyboard; --keep-characters keeps "
               "the module's own. Letters of the module's language, such as n with a tilde, "
               "are always kept, and invisible format marks always dropped.\n\n"
               "The database also records the translation's name and each book's name in the "
               "module's language, where SWORD's locales have it (Genesis is G\u00E9nesis in a "
               "Spanish Bible), in English otherwise.\n\n"
               "Other Bibles come as Debian packages, for example:\n"
               "  sudo apt-get install sword-text-web     (World English Bible)\n"
               "  sudo apt-get install sword-text-sparv   (Spanish Reina-Valera 1909)\n"
               "then --list-modules shows their names for --module.")
        .arg(QLatin1String(VerseSource::defaultModule), defaultDatabaseFile(),
             Settings::fileName());
}

// Carriage-return updates on a terminal; a log or a build tool gets a few whole lines.
class TerminalProgress {
public:
    explicit TerminalProgress(const QString &module) : module_(module) {}
    // A failed build must not write its message after a half line.
    ~TerminalProgress() {
        if (terminal_ && shown_ >= 0 && shown_ < 100)
            print(stderr, QStringLiteral("\n"));
    }
    TerminalProgress(const TerminalProgress &) = delete;
    TerminalProgress &operator=(const TerminalProgress &) = delete;

    bool operator()(int done, int total) {
        if (interruptedBy)
            return false;
        const int percent = total > 0 ? int(qint64(done) * 100 / total) : 100;
        const int step = terminal_ ? percent : percent / 25 * 25;
        if (step == shown_)
            return true;
        shown_ = step;
        const QString line = QStringLiteral("Importing %1: %2%").arg(module_).arg(step);
        if (terminal_)
            print(stderr, '\r' + line + (done == total ? QStringLiteral("\n") : QString()));
        else
            print(stderr, line + '\n');
        return true;
    }

private:
    QString module_;
    bool terminal_ = ::isatty(STDERR_FILENO) == 1;
    int shown_ = -1;
};

int listModules() {
    const QList<Translation> bibles = VerseSource::installedBibles();
    if (bibles.isEmpty()) {
        print(stderr, QStringLiteral("No Bible module is installed; the Debian package "
                                     "sword-text-kjv has the King James Version.\n"));
        return 0;
    }
    QList<QStringList> rows{{QStringLiteral("MODULE"), QStringLiteral("ABBREVIATION"),
                             QStringLiteral("NAME"), QStringLiteral("LANGUAGE")}};
    for (const Translation &bible : bibles)
        rows.append({bible.module, bible.abbreviation, bible.description, bible.languageName()});
    QList<qsizetype> widths(rows.first().size() - 1);
    for (const QStringList &row : std::as_const(rows))
        for (qsizetype column = 0; column < widths.size(); ++column)
            widths[column] = std::max(widths[column], row[column].size());
    for (const QStringList &row : std::as_const(rows)) {
        QString line;
        for (qsizetype column = 0; column < widths.size(); ++column)
            line += row[column].leftJustified(widths[column] + 2);
        print(stdout, line + row.last() + '\n');
    }
    return 0;
}

int makeDatabase(const QString &file, const QString &moduleName, bool keepCharacters) {
    // The module first: a refused run makes no folder either.
    VerseSource source(moduleName);
    QString target = file;
    if (target.isEmpty()) {
        target = defaultDatabaseFile();
        const QString folder = QFileInfo(target).absolutePath();
        if (!QDir().mkpath(folder))
            throw Error(Error::FileSystem, QStringLiteral("cannot make the folder %1").arg(folder));
    }
    const Translation translation = source.translation();
    std::optional<BuildCount> count;
    {
        TerminalProgress progress(translation.module);
        catchInterruptions();
        count = buildDatabase(target, source, {keepCharacters, std::ref(progress)});
    }
    if (!count) {
        print(stderr, QStringLiteral("versekeep-makedb: interrupted; no database was made\n"));
        return 128 + interruptedBy;
    }

    const QFileInfo made(target);
    print(stdout, QStringLiteral("Made %1: %2 verses in %3 books from %4, module %5.\n")
                      .arg(made.absoluteFilePath())
                      .arg(count->verses)
                      .arg(count->books)
                      .arg(translation.title(), translation.module));
    const DatabaseLocation location{made.absolutePath() + '/', made.fileName()};
    placeHelpFile(location);
    const bool recorded = Settings::recordDatabaseLocation(location);
    const QString now = Settings::databaseLocation().filePath();
    print(stdout, recorded ? QStringLiteral("Recorded it in the settings (%1): Versekeep will "
                                            "open %2.\n")
                                 .arg(Settings::fileName(), now)
                           : QStringLiteral("Left the settings (%1) alone: they already point "
                                            "to %2.\n")
                                 .arg(Settings::fileName(), now));
    return 0;
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("versekeep-makedb"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VERSEKEEP_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(helpText());
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption moduleOption(
        QStringLiteral("module"),
        QStringLiteral("The SWORD Bible module to read (default %1).")
            .arg(QLatin1String(VerseSource::defaultModule)),
        QStringLiteral("NAME"), QLatin1String(VerseSource::defaultModule));
    const QCommandLineOption keepOption(
        QStringLiteral("keep-characters"),
        QStringLiteral("Keep the module's own quotes, dashes and ligatures."));
    const QCommandLineOption listOption(QStringLiteral("list-modules"),
                                        QStringLiteral("List the installed Bible modules."));
    parser.addOptions({moduleOption, keepOption, listOption});
    parser.addPositionalArgument(
        QStringLiteral("FILE"),
        QStringLiteral("The database to make (default %1).").arg(defaultDatabaseFile()),
        QStringLiteral("[FILE]"));
    parser.process(app);

    try {
        const QStringList files = parser.positionalArguments();
        const int allowed = parser.isSet(listOption) ? 0 : 1;
        if (files.size() > allowed)
            throw Error(Error::BadInput, QStringLiteral("unexpected argument: %1 (see --help)")
                                             .arg(files.mid(allowed).join(' ')));
        if (!files.isEmpty() && files.first().isEmpty())
            throw Error(Error::BadInput, QStringLiteral("the file name is empty"));
        if (parser.isSet(listOption))
            return listModules();
        return makeDatabase(files.value(0), parser.value(moduleOption), parser.isSet(keepOption));
    } catch (const Error &error) {
        print(stderr, QStringLiteral("versekeep-makedb: %1\n").arg(error.description()));
        return 1;
    }
}
