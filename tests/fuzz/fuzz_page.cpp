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

// An attribute's value as the browser parses it: a NUL becomes U+FFFD, CR LF and a lone CR
// become LF.
QString parsed(QString value) {
    value.replace("&quot;", "\"").replace("&lt;", "<").replace("&gt;", ">");
    value.replace("&amp;", "&").replace("\r\n", "\n").replace(u'\r', u'\n');
    return value.replace(QChar(0), QChar(0xfffd));
}

// A text typed or pasted into a blank, as the browser keeps it: a one-line blank drops line
// breaks at the end and makes the others blanks; a text area keeps them; both keep a NUL.
QString typedInto(bool oneLine, QString text) {
    while (oneLine && (text.endsWith(u'\r') || text.endsWith(u'\n')))
        text.chop(1);
    return oneLine ? text.replace("\r\n", " ").replace(u'\r', u' ').replace(u'\n', u' ') : text;
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

    // Read back as the quiz's browser does: elements by id, values parsed.
    static const QRegularExpression id(R"re(\sid="([^"]*)")re"), value(R"re(\svalue="([^"]*)")re"),
        entity("&(amp|lt|gt|quot|nbsp);"), raw("[&>\"]");
    QHash<QString, QString> valueOf;
    for (const QString &piece : pieces(page.html)) {
        CHECK(piece[0] == u'<' ? builderTag(piece) : !QString(piece).remove(entity).contains(raw));
        const QString name = piece[0] == u'<' ? id.match(piece).captured(1) : QString();
        CHECK(!valueOf.contains(name));
        if (!name.isEmpty())
            valueOf[name] = piece.startsWith(u"<INPUT", Qt::CaseInsensitive)
                                ? parsed(value.match(piece).captured(1))
                                : QStringLiteral("area");
    }
    // Each blank has its box, its answer and its verse id, and there is nothing else; the
    // expected text typed back is right, however the browser carried the page's copy.
    CHECK(valueOf.size() == 3 * page.blanks.size());
    QList<BlankAnswer> typed[2];
    for (qsizetype n = 0; n < page.blanks.size(); ++n) {
        const Blank &blank = page.blanks[n];
        const QString number = QString::number(n + 1), answer = valueOf.value("answer" + number);
        CHECK(valueOf.contains("blank" + number) &&
              answer == parsed(blank.expected.toHtmlEscaped()) &&
              valueOf.value("verseid" + number) == QString::number(blank.verseId));
        // As the blank was built, and wrapped into a text area by the page's script.
        const bool oneLine = valueOf.value("blank" + number) != "area";
        typed[0].append({blank.verseId, answer, typedInto(oneLine, blank.expected)});
        typed[1].append({blank.verseId, answer, typedInto(false, blank.expected)});
    }
    for (const QList<BlankAnswer> &read : typed) {
        const std::optional<Judgement> judgement = judgeReadBack(page.blanks, read);
        CHECK(judgement && judgement->pageRight == !read.isEmpty() &&
              judgement->wrongBlanks.isEmpty());
    }
    return 0;
}
