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

QString escaped(const QString &value) { return value.toHtmlEscaped(); }

QString number(qint64 value) { return QString::number(value); }

class PageWriter {
public:
    explicit PageWriter(BuiltPage &page) : page_(page) {}

    void verse(const PageVerse &verse, const DueAt &isDue) {
        const VerseText &text = *verse.text;
        html() += QStringLiteral("<TR><TD width=\"650px\"><STRONG style=\"font-family:arial;"
                                 "font-size:12pt\"><BR>") +
                  escaped(text.book) + ' ' + number(text.chapter) + ':' + number(text.verse) +
                  QStringLiteral("</STRONG></TD></TR><TR><TD width=\"650px\">");
        if (!isDue(verse.scheduleDate)) {
            html() += QStringLiteral("<Span style=\"font-family:arial;font-size:12pt\">") +
                      escaped(text.text) + QStringLiteral("</SPAN> </TD></TR>");
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
            html() += QStringLiteral("<span style=\"font-size:12pt;font-family:arial\">") +
                      escaped(token) + QStringLiteral("</span>");
        }
        html() += QStringLiteral("</TD></TR>");
    }

private:
    QString &html() { return page_.html; }

    void blank(qint64 verseId, QString &run, bool last) {
        page_.blanks.append({verseId, run});
        const QString n = number(page_.blanks.size());
        const QString ids = QStringLiteral(" id=\"blank%1\" name=\"blank%1\"").arg(n);
        const int length = int(run.size());
        if (!last)
            html() += QStringLiteral("&nbsp;<INPUT  style=\"%1\" type=text size=\"%2\"")
                          .arg(blankStyle, number(std::min(length, longestInput))) +
                      ids + '>';
        else if (length <= longestInput)
            html() += QStringLiteral("<INPUT type=text  style=\"%1\"  size=\"%2\"")
                          .arg(blankStyle, number(length)) +
                      ids + '>';
        else
            html() += QStringLiteral("<TextArea rows=\"%1\" style=\"%2;overflow:hidden;"
                                     "width:640px\"")
                          .arg(number(textAreaRows(length)), blankStyle) +
                      ids + QStringLiteral("></TEXTAREA>");
        html() += QStringLiteral("<INPUT type=hidden id=\"answer%1\" name=\"answer%1\" value=\"")
                      .arg(n) +
                  escaped(run) +
                  QStringLiteral("\"><INPUT type=hidden id=\"verseid%1\"name=\"verseid%1\" "
                                 "value=\"%2\">")
                      .arg(n, number(verseId));
        run.clear();
    }

    BuiltPage &page_;
};
} // namespace

BuiltPage buildPage(const QList<PageVerse> &verses, const QDateTime &now) {
    BuiltPage page;
    page.html = QStringLiteral(
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
