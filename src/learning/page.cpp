#include "learning/page.h"

#include "learning/schedule.h"
#include "learning/tokens.h"

namespace {
// The blanks' look; every input of the page wears it.
const QString blankStyle = QStringLiteral(
    "background-color:cornsilk;font-size:12pt;font-family:arial;border-width:1;"
    "border-top-color=black;border-bottom-color:black;border-left-color:black;"
    "border-right-color:black");
constexpr int longestInput = 100;

// Appends what it is given, a text escaped for HTML: a whole book's page is written in
// place, piece by piece, with no text made on the way.
class PageWriter {
public:
    explicit PageWriter(BuiltPage &page) : page_(page), html_(page.html) {}

    void verse(const PageVerse &verse, const DueAt &isDue) {
        const VerseText &text = *verse.text;
        add(u"<TR><TD width=\"650px\"><STRONG style=\"font-family:arial;font-size:12pt\"><BR>");
        escaped(text.book);
        add(u' ').number(text.chapter).add(u':').number(text.verse);
        add(u"</STRONG></TD></TR><TR><TD width=\"650px\">");
        if (!isDue(verse.scheduleDate)) {
            add(u"<Span style=\"font-family:arial;font-size:12pt\">");
            escaped(text.text);
            add(u"</SPAN> </TD></TR>");
            return;
        }
        const QStringList tokens = splitVerse(text.text);
        QString run;
        for (qsizetype i = 0; i < tokens.size(); ++i) {
            const QString &token = tokens[i];
            if (trimBlanks(token).size() >= verse.minWordSize) {
                run += token;
                if (i == tokens.size() - 1)
                    blank(verse.id, run, true);
                continue;
            }
            if (!run.isEmpty())
                blank(verse.id, run, false);
            add(u"<span style=\"font-size:12pt;font-family:arial\">");
            escaped(token);
            add(u"</span>");
        }
        add(u"</TD></TR>");
    }

private:
    PageWriter &add(QStringView text) {
        html_ += text;
        return *this;
    }
    PageWriter &add(char16_t c) {
        html_ += QChar(c);
        return *this;
    }
    PageWriter &number(qint64 value) {
        html_ += QString::number(value);
        return *this;
    }
    // As QString::toHtmlEscaped has it.
    void escaped(QStringView text) {
        qsizetype plain = 0;
        for (qsizetype at = 0; at < text.size(); ++at) {
            const char16_t c = text[at].unicode();
            const char16_t *entity = c == u'<'   ? u"&lt;"
                                     : c == u'>' ? u"&gt;"
                                     : c == u'&' ? u"&amp;"
                                     : c == u'"' ? u"&quot;"
                                                 : nullptr;
            if (!entity)
                continue;
            html_ += text.mid(plain, at - plain);
            html_ += QStringView(entity);
            plain = at + 1;
        }
        html_ += text.mid(plain);
    }

    void blank(qint64 verseId, QString &run, bool last) {
        page_.blanks.append({verseId, run});
        const qint64 n = page_.blanks.size();
        const int length = int(run.size());
        if (!last)
            add(u"&nbsp;<INPUT  style=\"").add(blankStyle).add(u"\" type=text size=\"")
                .number(std::min(length, longestInput));
        else if (length <= longestInput)
            add(u"<INPUT type=text  style=\"").add(blankStyle).add(u"\"  size=\"").number(length);
        else
            add(u"<TextArea rows=\"").number(textAreaRows(length)).add(u"\" style=\"")
                .add(blankStyle).add(u";overflow:hidden;width:640px");
        add(u"\" id=\"blank").number(n).add(u"\" name=\"blank").number(n).add(u"\"");
        add(last && length > longestInput ? u"></TEXTAREA>" : u">");
        add(u"<INPUT type=hidden id=\"answer").number(n).add(u"\" name=\"answer").number(n);
        add(u"\" value=\"");
        escaped(run);
        add(u"\"><INPUT type=hidden id=\"verseid").number(n).add(u"\"name=\"verseid").number(n);
        add(u"\" value=\"").number(verseId).add(u"\">");
        run.clear();
    }

    BuiltPage &page_;
    QString &html_;
};
} // namespace

BuiltPage buildPage(const QList<PageVerse> &verses, const QDateTime &now) {
    BuiltPage page;
    // Room for the page as a page of short words takes it: a whole book's grows in place.
    qsizetype room = 200;
    for (const PageVerse &verse : verses)
        room += verse.text ? 400 + 20 * verse.text->text.size() : 0;
    page.html.reserve(room);
    page.html += QStringLiteral(
        "<HTML><BODY><span style=\"font-family:arial;font-size:12pt\">Fill in the blanks:</span>"
        "<br><TABLE width=\"650px\" border=0 cellpadding=0 cellspacing=0>");
    PageWriter writer(page);
    const DueAt isDue(now);
    for (const PageVerse &verse : verses)
        if (verse.text)
            writer.verse(verse, isDue);
    page.html += QStringLiteral("</TABLE></BODY></HTML>");
    return page;
}

QString emptyPage() {
    return QStringLiteral("<HTML><BODY><Span style=\"font-family:arial;font-size:16pt\">"
                          "no questions currently pending...</span><br></BODY></HTML>");
}

int textAreaRows(int length) {
    // length / 100 + 1 in hundredths, rounded half to even.
    const int hundredths = length + 100;
    const int whole = hundredths / 100;
    const int rest = hundredths % 100;
    return rest > 50 || (rest == 50 && whole % 2 == 1) ? whole + 1 : whole;
}
