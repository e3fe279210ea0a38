#pragma once

#include <QDateTime>

class Clock;

// When a passage or verse at this level is next due: now plus the level's interval on
// the ladder from minutes to months. Levels outside 1..19 wait four months. The result
// is always a valid local time.
QDateTime GetScheduleDate(const Clock &clock, int level);
