#pragma once
// Date arithmetic of the calendar policy: minute counts on the local wall clock, the day and
// month rule of yearly events, and the next anniversary of a yearly event.
#include <QDateTime>

namespace orvia {

// Minutes on the local wall clock since the zero date-time; a missing date counts as the zero day and
// a missing time as midnight, so a broken start reads as long past instead of failing.
qint64 MinuteNumber(const QDateTime &dt);

// Whole minutes from `from` to `to`: the minute boundaries crossed, negative when `to` is earlier.
qint64 WholeMinutes(const QDateTime &from, const QDateTime &to);

// The day of the year a yearly event falls on, for the same-event test: equal month and day, where
// 29 February also meets 1 March of a year without 29 February (that is where such an event is moved).
bool SameAnniversaryDay(const QDate &a, const QDate &b);

// The start of a yearly event in the current year (at its own time of day), moved on a year at a time
// until it is no longer before `now`. 29 February falls on 1 March in a year without that day.
// A start that is not a valid date-time is returned unchanged.
QDateTime NextAnniversary(const QDateTime &start, const QDateTime &now);

// The same for the clock face of a yearly event's start (zone-free, as clockFace gives it): the face of
// its next anniversary, at the face's own time of day. Only an anniversary whose face the clock skips
// is placed by the skipped-hour rule; the face of every other year stays as it is.
QDateTime NextAnniversaryFace(const QDateTime &face, const QDateTime &now);

} // namespace orvia
