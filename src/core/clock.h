#pragma once

#include <QDateTime>

// "Now", injectable so that tests can stand at 31 January or at 23:59.
class Clock {
public:
    virtual ~Clock() = default;
    // Local time, to the second.
    virtual QDateTime now() const = 0;
};

class SystemClock : public Clock {
public:
    QDateTime now() const override;
};

class FixedClock : public Clock {
public:
    explicit FixedClock(QDateTime moment) : moment_(std::move(moment)) {}
    QDateTime now() const override { return moment_; }
    void set(QDateTime moment) { moment_ = std::move(moment); }

private:
    QDateTime moment_;
};

// The local time that a wall clock shows as this date and time. A reading that a
// daylight-saving change skips steps over the gap (01:30 becomes 02:30); one that it
// repeats is the first of the two.
QDateTime localDateTime(QDate date, QTime time);

// Date-time columns hold local time as "YYYY-MM-DD HH:MM:SS".
QString toDbText(const QDateTime &moment);
QDateTime fromDbText(const QString &text);
