#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

// When a passage or verse at this level is next due: now plus the level's interval on
// the ladder from minutes to months. Levels outside 1..19 wait four months. The result
// is always a valid local time.
QDateTime scheduleDate(const QDateTime &now, int level);

// How long until a date is due, on the wall clock: nothing once due; else whole minutes
// under an hour, whole hours under a day, then calendar days. A date that cannot be read
// gives Unreadable.
struct Wait {
    enum Unit { Due, Minutes, Hours, Days, Unreadable };
    Unit unit = Due;
    qint64 count = 0;
    bool operator==(const Wait &) const = default;
};
Wait waitUntil(const QString &scheduleDate, const QDateTime &now);

// The due rule at one moment: a stored date ("YYYY-MM-DD HH:MM:SS") is due once its minute
// has come on the wall clock, so 10:00:59 is due at 10:00:00. Made once for the moment, it
// tests thousands of dates without writing the moment out again.
class DueAt {
public:
    explicit DueAt(const QDateTime &now);
    bool operator()(QStringView scheduleDate) const;
    // waitUntil at this moment.
    Wait waitUntil(const QString &scheduleDate) const;

private:
    QString nowMinute_;
    QDate today_;
    int minuteOfDay_ = 0; // of the wall-clock reading
};

// A stored date's minute as the number YYYYMMDDHHMM, for a date written "YYYY-MM-DD HH:MM..."
// in digits: such numbers order as DueAt compares the texts (and divided by 10000, as their
// calendar days); none for any other text.
std::optional<qint64> minuteNumber(QStringView scheduleDate);

// The moment a stored date falls due (DueAt): the start of its minute, local time; none
// for a date that cannot be read.
std::optional<QDateTime> dueMoment(const QString &scheduleDate);

// When a date falls due, as a learner is told it: within the hour in minutes, rounded up
// and counted as time passes, whatever the clocks do; else on the day of its wall-clock
// reading, today, tomorrow or later, at the time the clock will show.
struct DueWhen {
    enum Unit { Due, Minutes, Today, Tomorrow, Later, Unreadable };
    Unit unit = Due;
    qint64 minutes = 0; // for Minutes
    QDate date;         // for Today, Tomorrow and Later
    QTime time;
};
DueWhen dueWhen(const QString &scheduleDate, const QDateTime &now);
