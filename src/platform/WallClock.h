#pragma once
// Wall-clock times of the local zone (or of a named one) and the moments they stand for. One rule for
// the times a change of clock makes odd, used wherever a date and a time of day become a moment:
// - a time the clock skips (the hour a change to summer time leaves out) is read with the offset in
//   force before the change, so it moves forward by the length of the gap (02:30 becomes 03:30);
// - a time the clock shows twice (the hour a change back repeats) is the first of its two moments.
// A handset's clock holds the face alone: arithmetic on the face counts minutes as the face shows
// them, with no change of clock in between.
#include <QDateTime>
#include <QTimeZone>

#include <functional>

namespace orvia {

// The local moment of a wall-clock date and time; invalid only when the date or the time is.
QDateTime localMoment(const QDate &date, const QTime &time);

// The same rule in a named zone; the result is that moment in local time.
QDateTime zoneMoment(const QDate &date, const QTime &time, const QTimeZone &zone);

// The same rule in a zone known by its offsets alone: `offsetAt` gives the zone's offset from UTC in
// seconds at a moment (milliseconds since the epoch); the result is that moment in local time.
QDateTime offsetMoment(const QDate &date, const QTime &time, const std::function<int(qint64)> &offsetAt);

// The clock face of a moment (its local date and time) as a zone-free value, for face arithmetic.
QDateTime clockFace(const QDateTime &moment);

// The local moment a zone-free face stands for, by the rule above; invalid only when the face is.
QDateTime faceMoment(const QDateTime &face);

// Minutes from face `from` to face `to` as the faces show them (seconds ignored).
qint64 faceMinutes(const QDateTime &from, const QDateTime &to);

} // namespace orvia
