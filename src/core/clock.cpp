#include "core/clock.h"

namespace {
// A function, not a static QString: tests build dates during static initialisation.
QString dbFormat() { return QStringLiteral("yyyy-MM-dd HH:mm:ss"); }
} // namespace

QDateTime SystemClock::now() const {
    QDateTime moment = QDateTime::currentDateTime();
    moment.setTime(QTime(moment.time().hour(), moment.time().minute(), moment.time().second()));
    return moment;
}

QDateTime localDateTime(QDate date, QTime time) {
    // Read the wall time with the offset in force a day earlier, before any change of
    // that night: in a skipped hour that lands after the gap, in a repeated hour on the
    // first pass.
    const QDateTime reading(date, time, Qt::UTC);
    const int offsetBefore = reading.addDays(-1).toLocalTime().offsetFromUtc();
    const QDateTime first = reading.addSecs(-offsetBefore).toLocalTime();
    const QDateTime plain(date, time);
    if (!plain.isValid())
        return first;
    return first.date() == date && first.time() == time && first < plain ? first : plain;
}

QString toDbText(const QDateTime &moment) { return moment.toString(dbFormat()); }

QDateTime fromDbText(const QString &text) {
    // Date and time apart: a stored reading in a skipped hour is still a moment.
    const QDate date = QDate::fromString(text.left(10), QStringLiteral("yyyy-MM-dd"));
    const QTime time = QTime::fromString(text.mid(11), QStringLiteral("HH:mm:ss"));
    if (text.size() != 19 || text[10] != u' ' || !date.isValid() || !time.isValid())
        return {};
    return localDateTime(date, time);
}
