#include "clock.h"

namespace {
// A function, not a static QString: tests build dates during static initialisation.
QString dbFormat() { return QStringLiteral("yyyy-MM-dd HH:mm:ss"); }
} // namespace

QDateTime SystemClock::now() const {
    QDateTime moment = QDateTime::currentDateTime();
    moment.setTime(QTime(moment.time().hour(), moment.time().minute(), moment.time().second()));
    return moment;
}

QString toDbText(const QDateTime &moment) { return moment.toString(dbFormat()); }

QDateTime fromDbText(const QString &text) { return QDateTime::fromString(text, dbFormat()); }
