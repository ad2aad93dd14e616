#include "platform/WallClock.h"

#include <functional>

namespace orvia {

namespace {

constexpr qint64 kDayMs = 86400LL * 1000;

// `offsetAt` gives the zone's offset from UTC in seconds at a moment (ms since the epoch).
qint64 momentOf(const QDate &date, const QTime &time, const std::function<int(qint64)> &offsetAt)
{
    const qint64 wall = QDateTime(date, time, Qt::UTC).toMSecsSinceEpoch();
    // Every moment the face can stand for lies within a day of the face read as UTC, and the offsets a
    // day before and a day after are those on either side of any change in between.
    const int before = offsetAt(wall - kDayMs);
    const int after = offsetAt(wall + kDayMs);
    const qint64 first = wall - qint64(before) * 1000;
    const qint64 second = wall - qint64(after) * 1000;
    const bool firstHolds = offsetAt(first) == before;
    const bool secondHolds = offsetAt(second) == after;
    if (firstHolds && secondHolds)
        return qMin(first, second); // shown twice: the first moment
    if (secondHolds)
        return second;
    return first; // holds alone, or skipped: the offset before the gap moves it forward
}

} // namespace

QDateTime localMoment(const QDate &date, const QTime &time)
{
    if (!date.isValid() || !time.isValid())
        return QDateTime();
    const qint64 ms = momentOf(date, time, [](qint64 at) {
        return QDateTime::fromMSecsSinceEpoch(at, Qt::LocalTime).offsetFromUtc();
    });
    return QDateTime::fromMSecsSinceEpoch(ms, Qt::LocalTime);
}

QDateTime zoneMoment(const QDate &date, const QTime &time, const QTimeZone &zone)
{
    if (!date.isValid() || !time.isValid() || !zone.isValid())
        return QDateTime();
    const qint64 ms = momentOf(date, time, [&zone](qint64 at) {
        return zone.offsetFromUtc(QDateTime::fromMSecsSinceEpoch(at, Qt::UTC));
    });
    return QDateTime::fromMSecsSinceEpoch(ms, Qt::LocalTime);
}

QDateTime offsetMoment(const QDate &date, const QTime &time, const std::function<int(qint64)> &offsetAt)
{
    if (!date.isValid() || !time.isValid() || !offsetAt)
        return QDateTime();
    return QDateTime::fromMSecsSinceEpoch(momentOf(date, time, offsetAt), Qt::LocalTime);
}

QDateTime clockFace(const QDateTime &moment)
{
    const QDateTime local = moment.toLocalTime();
    return QDateTime(local.date(), local.time(), Qt::UTC);
}

QDateTime faceMoment(const QDateTime &face)
{
    return localMoment(face.date(), face.time());
}

qint64 faceMinutes(const QDateTime &from, const QDateTime &to)
{
    const auto minuteOf = [](const QDateTime &t) {
        return t.date().toJulianDay() * 1440 + t.time().hour() * 60 + t.time().minute();
    };
    return minuteOf(to) - minuteOf(from);
}

} // namespace orvia
