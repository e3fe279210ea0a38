#include "learning/answers.h"

#include <QRegularExpression>

#define CHECK(condition) ((condition) ? void() : qFatal("broken: %s", #condition))

// CookVerse gives one canonical spacing, and an answer typed as expected is right, also with
// its blanks doubled or its ASCII letters in the other case.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static const QRegularExpression strayBlank(R"re(\A | \z|  |[;:.,()"?!] | [;:.,()"?])re");
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString cooked = CookVerse(text);
    CHECK(CookVerse(cooked) == cooked && !cooked.contains(strayBlank));
    CHECK(QString(cooked).remove(u' ') == QString(text).remove(u' '));

    QString typed = QString(text).replace(" ", "  ");
    for (QChar &c : typed)
        if (c.unicode() < 128)
            c = c.isUpper() ? c.toLower() : c.toUpper();
    CHECK(isRight({1, text, text}) && isRight({1, text, typed}));
    return 0;
}
