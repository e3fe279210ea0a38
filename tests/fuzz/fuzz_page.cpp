#include "app/clock.h"
#include "learning/answers.h"
#include "learning/page.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>

#define CHECK(condition) ((condition) ? void() : qFatal("broken: %s", #condition))

// Each input line is a verse: its first character gives minWordSize ('0' to '9', then
// ':' ';' '<' for 10 to 12); its second is odd for a due verse ('y'), even for one not
// due ('n'), '-' for one the verse table lacks; then an optional "Book|" and the text.
namespace {
const QDateTime now = fromDbText("2026-12-06 10:00:30");

PageVerse verse(qint64 id, int minWordSize, bool due, const QString &book, const QString &text) {
    return {id, minWordSize, due ? "2026-12-06 10:00:59" : "2026-12-06 10:01:00",
            VerseText{book, 3, 16, text}};
}

// Tags and the text between them, as a browser splits a page: a tag ends at the first
// '>' outside quotes. A '<' that never closes is a piece of its own.
QStringList pieces(const QString &html) {
    static const QRegularExpression piece(R"re(<(?:[^">]|"[^"]*")*>|[^<]+|<)re");
    QStringList found;
    for (const QRegularExpressionMatch &match : piece.globalMatch(html))
        found << match.captured();
    return found;
}

// A tag with its values and numbers made alike: the markup of any page has the shapes
// of the builder's own tags, and text that escaped escaping does not.
QString shape(const QString &tag) {
    static const QRegularExpression variable(R"re(value="[^"]*"|-?\d+)re");
    return QString(tag).replace(variable, "N");
}

// The builder's tags: those of a page of plain verses with blanks of every kind. Built on
// first use: page.cpp's own statics are not ready during static initialisation.
bool builderTag(const QString &tag) {
    static const QSet<QString> tags = [] {
        const QString words = "In the beginning God created the heaven and the earth";
        QSet<QString> shapes;
        for (const QString &piece :
             pieces(buildPage({verse(1, 4, true, "John", words + "."),
                               verse(2, 0, true, "John", words),
                               verse(3, 0, true, "John", words + " " + words + " " + words),
                               verse(4, 0, false, "John", words)},
                              now)
                        .html))
            if (piece.startsWith(u'<'))
                shapes << shape(piece);
        return shapes;
    }();
    return tags.contains(shape(tag));
}

QString unescaped(QString value) {
    return value.replace("&quot;", "\"")
        .replace("&lt;", "<")
        .replace("&gt;", ">")
        .replace("&amp;", "&");
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QStringList lines =
        QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size)).split(u'\n');
    QList<PageVerse> verses;
    for (qsizetype n = 0; n < std::min<qsizetype>(lines.size(), 6); ++n) {
        const QString head = lines[n].left(2).leftJustified(2, u'0');
        const int first = head[0].unicode(), second = head[1].unicode();
        const QString rest = lines[n].mid(2);
        const qsizetype bar = rest.indexOf(u'|');
        verses << verse(qint64(qint8(second)) * 1'000'000'007 + n, (first + 4) % 13, second % 2,
                        bar < 0 ? "John" : rest.left(bar), rest.mid(bar + 1));
        if (second == u'-')
            verses.last().text.reset();
    }
    const BuiltPage page = buildPage(verses, now);

    // Read back as the quiz's browser does: elements by id, values unescaped.
    static const QRegularExpression id(R"re(\sid="([^"]*)")re"), value(R"re(\svalue="([^"]*)")re"),
        entity("&(amp|lt|gt|quot|nbsp);"), raw("[&>\"]");
    QHash<QString, QString> valueOf;
    qsizetype ids = 0, blankElements = 0;
    for (const QString &piece : pieces(page.html)) {
        if (!piece.startsWith(u'<')) {
            CHECK(!QString(piece).remove(entity).contains(raw));
            continue;
        }
        CHECK(builderTag(piece));
        const QString name = id.match(piece).captured(1);
        if (name.isEmpty())
            continue;
        ++ids;
        blankElements += name.startsWith(u"blank");
        valueOf.insert(name, unescaped(value.match(piece).captured(1)));
    }
    // Each blank has its box, its answer and its verse id, and no id comes twice.
    CHECK(blankElements == page.blanks.size() && ids == 3 * blankElements && valueOf.size() == ids);
    QList<BlankAnswer> typed;
    for (qsizetype n = 0; n < page.blanks.size(); ++n) {
        const Blank &blank = page.blanks[n];
        const QString number = QString::number(n + 1);
        CHECK(valueOf.contains("blank" + number) && valueOf["answer" + number] == blank.expected &&
              valueOf["verseid" + number] == QString::number(blank.verseId));
        typed.append({blank.verseId, blank.expected, valueOf["answer" + number]});
    }
    const Judgement judgement = judgePage(typed);
    CHECK(judgement.pageRight == !typed.isEmpty() && judgement.wrongBlanks.isEmpty());
    return 0;
}
