#include "learning/answers.h"

#define CHECK(condition) ((condition) ? void() : qFatal("broken: %s", #condition))

// CookVerse gives one canonical spacing, and an answer typed as expected is right, with
// its blanks doubled or its ASCII letters in the other case.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString cooked = CookVerse(text);
    CHECK(CookVerse(cooked) == cooked);
    CHECK(!cooked.startsWith(u' ') && !cooked.endsWith(u' ') && !cooked.contains(u"  "));
    CHECK(QString(cooked).remove(u' ') == QString(text).remove(u' '));
    const QString marks = QStringLiteral(";:.,()\"?");
    for (qsizetype i = cooked.indexOf(u' '); i >= 0; i = cooked.indexOf(u' ', i + 1))
        CHECK(!marks.contains(cooked[i - 1]) && cooked[i - 1] != u'!' &&
              !marks.contains(cooked[i + 1]));

    QString typed = QString(text).replace(u' ', QStringLiteral("  "));
    for (QChar &c : typed)
        if (c.unicode() < 128)
            c = c.isUpper() ? c.toLower() : c.toUpper();
    CHECK(isRight({1, text, text}) && isRight({1, text, typed}));
    return 0;
}
