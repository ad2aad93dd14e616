#include "engine/CalendarDates.h"

#include "platform/WallClock.h"

namespace orvia {

namespace {

const QDate kZeroDate(1899, 12, 30);

bool isFirstOfMarchWithoutLeapDay(const QDate &d)
{
    return d.month() == 3 && d.day() == 1 && !QDate::isLeapYear(d.year());
}

bool isLeapDay(const QDate &d)
{
    return d.month() == 2 && d.day() == 29;
}

// The day of `year` with the given month and day; 29 February of a year without it is 1 March.
QDate dayInYear(int year, int month, int day)
{
    const QDate d(year, month, day);
    if (d.isValid())
        return d;
    return QDate(year, 3, 1);
}

} // namespace

qint64 MinuteNumber(const QDateTime &dt)
{
    QDate d = dt.date();
    if (!d.isValid())
        d = kZeroDate;
    const QTime t = dt.time();
    const int minuteOfDay = t.isValid() ? t.hour() * 60 + t.minute() : 0;
    return (d.toJulianDay() - kZeroDate.toJulianDay()) * 1440 + minuteOfDay;
}

qint64 WholeMinutes(const QDateTime &from, const QDateTime &to)
{
    return MinuteNumber(to) - MinuteNumber(from);
}

bool SameAnniversaryDay(const QDate &a, const QDate &b)
{
    if (a.month() == b.month() && a.day() == b.day())
        return true;
    return (isLeapDay(a) && isFirstOfMarchWithoutLeapDay(b)) ||
           (isLeapDay(b) && isFirstOfMarchWithoutLeapDay(a));
}

QDateTime NextAnniversary(const QDateTime &start, const QDateTime &now)
{
    if (!start.isValid() || !now.isValid())
        return start;
    return faceMoment(NextAnniversaryFace(QDateTime(start.date(), start.time(), Qt::UTC), now));
}

QDateTime NextAnniversaryFace(const QDateTime &face, const QDateTime &now)
{
    if (!face.isValid() || !now.isValid())
        return face;
    const QDate s = face.date();
    // Two years always reach a day that is not before `now`; the bound keeps the loop finite.
    for (int year = now.date().year(); year <= now.date().year() + 2; ++year) {
        const QDateTime candidate(dayInYear(year, s.month(), s.day()), face.time(), Qt::UTC);
        if (faceMoment(candidate) >= now)
            return candidate;
    }
    return QDateTime(dayInYear(now.date().year() + 2, s.month(), s.day()), face.time(), Qt::UTC);
}

} // namespace orvia
