#include "learning/schedule.h"

#include "core/clock.h"

#include <algorithm>

namespace {
enum class Unit { Minutes, Days, Months };
struct Interval {
    Unit unit;
    int amount;
};

// Levels 1..19; index 0 is level 1.
constexpr Interval ladder[] = {
    {Unit::Minutes, 0},      {Unit::Minutes, 5},       {Unit::Minutes, 10},
    {Unit::Minutes, 15},     {Unit::Minutes, 30},      {Unit::Minutes, 45},
    {Unit::Minutes, 60},     {Unit::Minutes, 2 * 60},  {Unit::Minutes, 4 * 60},
    {Unit::Minutes, 8 * 60}, {Unit::Minutes, 12 * 60}, {Unit::Days, 1},
    {Unit::Days, 2},         {Unit::Days, 4},          {Unit::Days, 7},
    {Unit::Days, 14},        {Unit::Days, 21},         {Unit::Months, 1},
    {Unit::Months, 2},
};
constexpr Interval beyondTheLadder{Unit::Months, 4};
} // namespace

QDateTime scheduleDate(const QDateTime &now, int level) {
    const int top = int(std::size(ladder));
    const Interval step = level >= 1 && level <= top ? ladder[level - 1] : beyondTheLadder;
    switch (step.unit) {
    case Unit::Minutes: {
        // Arithmetic on the clock reading itself: a daylight-saving change neither
        // stretches nor shrinks the interval.
        const QDateTime reading(now.date(), now.time(), Qt::UTC);
        const QDateTime later = reading.addSecs(qint64(step.amount) * 60);
        return localDateTime(later.date(), later.time());
    }
    case Unit::Days:
        return localDateTime(now.date().addDays(step.amount), now.time());
    case Unit::Months:
        // QDate clamps the day to the target month's last day.
        return localDateTime(now.date().addMonths(step.amount), now.time());
    }
    return now;
}

DueAt::DueAt(const QDateTime &now)
    : nowMinute_(toDbText(now).left(16)), today_(now.date()),
      minuteOfDay_(now.time().hour() * 60 + now.time().minute()) {}

bool DueAt::operator()(QStringView scheduleDate) const {
    return scheduleDate.left(16) <= QStringView(nowMinute_);
}

namespace {
// The date and minute of a stored date written as the program writes it, "YYYY-MM-DD HH:MM",
// read digit by digit: tens of thousands are read at once. Anything else goes to Qt's parse.
std::optional<std::pair<QDate, int>> plainDateMinute(QStringView text) {
    if (text.size() < 16 || text[4] != u'-' || text[7] != u'-' || text[13] != u':')
        return std::nullopt;
    const auto number = [&](int from, int digits) {
        int value = 0;
        for (int at = from; at < from + digits; ++at) {
            const int digit = text[at].unicode() - '0';
            if (digit < 0 || digit > 9)
                return -1;
            value = value * 10 + digit;
        }
        return value;
    };
    const int year = number(0, 4), month = number(5, 2), day = number(8, 2);
    const int hour = number(11, 2), minute = number(14, 2);
    if (year < 0 || month < 0 || day < 0 || hour < 0 || minute < 0)
        return std::nullopt;
    return std::pair(QDate(year, month, day), hour < 24 && minute < 60 ? hour * 60 + minute : -1);
}
} // namespace

Wait DueAt::waitUntil(const QString &scheduleDate) const {
    if ((*this)(scheduleDate))
        return {Wait::Due, 0};
    auto [date, minute] = plainDateMinute(scheduleDate).value_or(std::pair(QDate(), -1));
    if (!date.isValid() || minute < 0) {
        date = QDate::fromString(scheduleDate.left(10), Qt::ISODate);
        const QTime time = QTime::fromString(scheduleDate.mid(11, 5), QStringLiteral("HH:mm"));
        if (!date.isValid() || !time.isValid())
            return {Wait::Unreadable, 0};
        minute = time.hour() * 60 + time.minute();
    }
    // The two wall-clock readings to the minute, as the ladder counts its minutes: a change
    // of the clocks in between neither adds nor takes an hour.
    const qint64 days = today_.daysTo(date);
    const qint64 minutes = days * 24 * 60 + minute - minuteOfDay_;
    if (minutes < 60)
        return {Wait::Minutes, minutes};
    if (minutes < 24 * 60)
        return {Wait::Hours, minutes / 60};
    return {Wait::Days, days};
}

std::optional<qint64> minuteNumber(QStringView date) {
    if (date.size() < 16 || date[4] != u'-' || date[7] != u'-' || date[10] != u' ' ||
        date[13] != u':')
        return std::nullopt;
    qint64 number = 0;
    for (const int at : {0, 1, 2, 3, 5, 6, 8, 9, 11, 12, 14, 15}) {
        const int digit = date[at].unicode() - '0';
        if (digit < 0 || digit > 9)
            return std::nullopt;
        number = number * 10 + digit;
    }
    return number;
}

Wait waitUntil(const QString &scheduleDate, const QDateTime &now) {
    return DueAt(now).waitUntil(scheduleDate);
}

std::optional<QDateTime> dueMoment(const QString &scheduleDate) {
    const QDateTime moment = fromDbText(scheduleDate.left(16) + QStringLiteral(":00"));
    return moment.isValid() ? std::optional(moment) : std::nullopt;
}

DueWhen dueWhen(const QString &scheduleDate, const QDateTime &now) {
    if (DueAt(now)(scheduleDate))
        return {};
    const std::optional<QDateTime> moment = dueMoment(scheduleDate);
    if (!moment)
        return {DueWhen::Unreadable, 0, {}, {}};
    const qint64 minutes = (now.secsTo(*moment) + 59) / 60;
    if (minutes < 60)
        return {DueWhen::Minutes, std::max<qint64>(minutes, 1), {}, {}};
    // As the clock will read then: a reading in an hour the clocks skip shows after the gap.
    const qint64 days = now.date().daysTo(moment->date());
    return {days == 0   ? DueWhen::Today
            : days == 1 ? DueWhen::Tomorrow
                        : DueWhen::Later,
            0, moment->date(), moment->time()};
}
