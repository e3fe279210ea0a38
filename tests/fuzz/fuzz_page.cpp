#include "core/clock.h"
#include "learning/answers.h"
#include "learning/page.h"

#include <QHash>
#include <QRegularExpression>

#define CHECK(condition) ((condition) ? void() : qFatal("broken: %s", #condition))

namespace {
const QDateTime now = fromDbText("2026-12-06 10:00:30");

PageVerse verse(qint64 id, int minWordSize, bool due, const QString &book, const QString &text) {
    return {id, minWordSize, due ? "2026-12-06 10:00:59" : "2026-12-06 10:01:00",
            VerseText{book, 3, 16, text}};
}

// Tags and the texts between them, as a browser splits a page: a tag ends at the first
// '>' outside quotes; a '<' that never closes stands alone.
QStringList pieces(const QString &html) {
    static const QRegularExpression piece(R"re(<(?:[^">]|"[^"]*")*>|[^<]+|<)re");
    QStringList found;
    for (const QRegularExpressionMatch &match : piece.globalMatch(html))
        found << match.captured();
    return found;
}

// Whether the tag has the shape of one the builder writes, values and numbers aside: text
// that slipped through unescaped makes a strange tag. The shapes come from a page with blanks
// of every kind, built on first use: page.cpp's statics are not ready during static
// initialisation.
bool builderTag(const QString &tag) {
    static const QRegularExpression variable(R"re(value="[^"]*"|-?\d+)re");
    static const QStringList shapes = [] {
        const QString words = "In the beginning God created the heaven and the earth";
        const QList<PageVerse> verses{verse(1, 4, true, "", words),
                                      verse(2, 0, true, "", words.repeated(3)),
                                      verse(3, 0, false, "", words)};
        return pieces(buildPage(verses, now).html).replaceInStrings(variable, "N");
    }();
    return shapes.contains(QString(tag).replace(variable, "N"));
}

QString unescaped(QString value) {
    value.replace("&quot;", "\"").replace("&lt;", "<").replace("&gt;", ">");
    return value.replace("&amp;", "&");
}
} // namespace

// Each input line is a verse: its first character gives minWordSize ('0' to '9', then
// ':' ';' '<' for 10 to 12), its second is odd when it is due ('y'), even when not ('n'),
// '-' when the verse table lacks it; then "Book|Text", or one text for both.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QStringList lines =
        QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size)).split(u'\n');
    QList<PageVerse> verses;
    for (qsizetype n = 0; n < std::min<qsizetype>(lines.size(), 6); ++n) {
        const QString head = lines[n].left(2).leftJustified(2, u'0'), rest = lines[n].mid(2);
        const qsizetype bar = rest.indexOf(u'|');
        verses << verse(qint8(head[1].unicode()) * 1'000'000'007LL + n,
                        (head[0].unicode() + 4) % 13, head[1].unicode() % 2, rest.left(bar),
                        rest.mid(bar + 1));
        if (head[1] == u'-')
            verses.last().text.reset();
    }
    const BuiltPage page = buildPage(verses, now);

    // Read back as the quiz's browser does: elements by id, values unescaped.
    static const QRegularExpression id(R"re(\sid="([^"]*)")re"), value(R"re(\svalue="([^"]*)")re"),
        entity("&(amp|lt|gt|quot|nbsp);"), raw("[&>\"]");
    QHash<QString, QString> valueOf;
    for (const QString &piece : pieces(page.html)) {
        CHECK(piece[0] == u'<' ? builderTag(piece) : !QString(piece).remove(entity).contains(raw));
        const QString name = piece[0] == u'<' ? id.match(piece).captured(1) : QString();
        CHECK(!valueOf.contains(name));
        if (!name.isEmpty())
            valueOf[name] = unescaped(value.match(piece).captured(1));
    }
    // Each blank has its box, its answer and its verse id, and there is nothing else.
    CHECK(valueOf.size() == 3 * page.blanks.size());
    QList<BlankAnswer> typed;
    for (qsizetype n = 0; n < page.blanks.size(); ++n) {
        const Blank &blank = page.blanks[n];
        const QString answer = valueOf.value("answer" + QString::number(n + 1));
        CHECK(valueOf.contains("blank" + QString::number(n + 1)) && answer == blank.expected &&
              valueOf.value("verseid" + QString::number(n + 1)) == QString::number(blank.verseId));
        typed.append({blank.verseId, blank.expected, answer});
    }
    const Judgement judgement = judgePage(typed);
    CHECK(judgement.pageRight == !typed.isEmpty() && judgement.wrongBlanks.isEmpty());
    return 0;
}
