#include "platform/pim/CalendarZones.h"
#include "platform/WallClock.h"

#include <QTimeZone>

#include <libical/ical.h>

#include <cstdlib>

namespace orvia::pim {

namespace {

// A block with more than this is no zone a calendar program wrote; its changes are not worked out.
constexpr int kMaxObservances = 400;
constexpr int kMaxRepeatingObservances = 16;
constexpr int kMaxChangesPerYear = 7;
constexpr int kMaxOffsetSeconds = 18 * 3600;
constexpr int kFirstGregorianYear = 1583;

// The library's own zone names carry a vendor prefix; what follows it is the IANA name.
QByteArray withoutVendorPrefix(const QByteArray &tzid)
{
    QByteArray id = tzid;
    const QByteArray marker = "freeassociation.sourceforge.net/";
    const qsizetype at = id.indexOf(marker);
    if (at >= 0)
        id = id.mid(at + marker.size());
    if (id.startsWith("Tzfile/"))
        id = id.mid(7);
    while (id.startsWith('/'))
        id = id.mid(1);
    return id;
}

int entries(const short *list, int size)
{
    int n = 0;
    while (n < size && list[n] != ICAL_RECURRENCE_ARRAY_MAX)
        ++n;
    return n;
}

// The rules of real zones repeat once a year on a weekday or a day of a month; anything that repeats
// more often would make the library list changes without end.
bool soundRule(const icalrecurrencetype &r)
{
    if (r.freq != ICAL_YEARLY_RECURRENCE || r.interval < 1)
        return false;
    if (entries(r.by_second, ICAL_BY_SECOND_SIZE) || entries(r.by_minute, ICAL_BY_MINUTE_SIZE) ||
        entries(r.by_hour, ICAL_BY_HOUR_SIZE) || entries(r.by_year_day, ICAL_BY_YEARDAY_SIZE) ||
        entries(r.by_week_no, ICAL_BY_WEEKNO_SIZE) || entries(r.by_set_pos, ICAL_BY_SETPOS_SIZE))
        return false;
    const int months = entries(r.by_month, ICAL_BY_MONTH_SIZE);
    const int monthDays = entries(r.by_month_day, ICAL_BY_MONTHDAY_SIZE);
    const int weekDays = entries(r.by_day, ICAL_BY_DAY_SIZE);
    // Changes a year, counted high: a day of the month in every month named (every month when none is),
    // a weekday without its place in the month or year on every such day.
    int perMonth = 1;
    if (monthDays > 0) {
        perMonth = monthDays;
    } else if (weekDays > 0) {
        perMonth = 0;
        for (int i = 0; i < weekDays; ++i)
            perMonth += icalrecurrencetype_day_position(r.by_day[i]) != 0 ? 1 : months > 0 ? 5 : 53;
    }
    const int inYear = perMonth * (months > 0 ? months : monthDays > 0 ? 12 : 1);
    return inYear <= kMaxChangesPerYear;
}

bool soundObservance(icalcomponent *o, int &repeating)
{
    icalproperty *start = icalcomponent_get_first_property(o, ICAL_DTSTART_PROPERTY);
    icalproperty *to = icalcomponent_get_first_property(o, ICAL_TZOFFSETTO_PROPERTY);
    icalproperty *from = icalcomponent_get_first_property(o, ICAL_TZOFFSETFROM_PROPERTY);
    if (!start || !to || !from)
        return false;
    const icaltimetype t = icalproperty_get_dtstart(start);
    if (icaltime_is_null_time(t) || t.year < kFirstGregorianYear)
        return false;
    if (std::abs(icalproperty_get_tzoffsetto(to)) > kMaxOffsetSeconds ||
        std::abs(icalproperty_get_tzoffsetfrom(from)) > kMaxOffsetSeconds)
        return false;
    for (icalproperty *rule = icalcomponent_get_first_property(o, ICAL_RRULE_PROPERTY); rule;
         rule = icalcomponent_get_next_property(o, ICAL_RRULE_PROPERTY)) {
        if (!soundRule(icalproperty_get_rrule(rule)))
            return false;
        ++repeating;
    }
    return true;
}

// The file's own block for the name, when its changes can be worked out: at least one observance, each
// with a start and both offsets, yearly rules only.
icaltimezone *fileZone(icalcomponent *calendar, const QByteArray &tzid)
{
    if (!calendar || tzid.isEmpty())
        return nullptr;
    icaltimezone *zone = icalcomponent_get_timezone(calendar, tzid.constData());
    icalcomponent *block = zone ? icaltimezone_get_component(zone) : nullptr;
    if (!block)
        return nullptr;
    int observances = 0, repeating = 0;
    for (icalcomponent *o = icalcomponent_get_first_component(block, ICAL_ANY_COMPONENT); o;
         o = icalcomponent_get_next_component(block, ICAL_ANY_COMPONENT)) {
        const icalcomponent_kind kind = icalcomponent_isa(o);
        if (kind != ICAL_XSTANDARD_COMPONENT && kind != ICAL_XDAYLIGHT_COMPONENT)
            continue;
        if (++observances > kMaxObservances || !soundObservance(o, repeating) ||
            repeating > kMaxRepeatingObservances)
            return nullptr;
    }
    return observances > 0 ? zone : nullptr;
}

// The block's offset at a moment. The library works changes out only so many years ahead; the Gregorian
// calendar repeats itself, weekdays included, every 400 years, and so do yearly rules, so a later moment
// is looked up that many years earlier.
int fileZoneOffset(icaltimezone *zone, qint64 ms)
{
    constexpr qint64 kCycle = 146097LL * 86400; // 400 years, in seconds
    static const qint64 kLate = QDateTime(QDate(2400, 1, 1), QTime(0, 0), Qt::UTC).toSecsSinceEpoch();
    qint64 secs = ms / 1000 - (ms % 1000 < 0 ? 1 : 0);
    if (secs >= kLate)
        secs -= ((secs - kLate) / kCycle + 1) * kCycle;
    icaltimetype t = icaltime_from_timet_with_zone(time_t(secs), 0, icaltimezone_get_utc_timezone());
    return icaltimezone_get_utc_offset_of_utc_time(zone, &t, nullptr);
}

} // namespace

QDateTime zonedMoment(icalcomponent *calendar, const QByteArray &tzid, const QDate &date, const QTime &time)
{
    const QByteArray iana = withoutVendorPrefix(tzid);
    if (!iana.isEmpty() && QTimeZone::isTimeZoneIdAvailable(iana))
        return zoneMoment(date, time, QTimeZone(iana));
    if (icaltimezone *own = fileZone(calendar, tzid))
        return offsetMoment(date, time, [own](qint64 ms) { return fileZoneOffset(own, ms); });
    const QByteArray windows = QTimeZone::windowsIdToDefaultIanaId(tzid);
    if (!windows.isEmpty() && QTimeZone::isTimeZoneIdAvailable(windows))
        return zoneMoment(date, time, QTimeZone(windows));
    return QDateTime();
}

} // namespace orvia::pim
