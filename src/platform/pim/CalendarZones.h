#pragma once
// The zone a calendar file's TZID names, and the moment a wall-clock time in it stands for. A name the
// zone database knows (khal's IANA names) is taken from the database: some tools write blocks without
// the rules of later years for such names. Any other name (calendar programs on other desktops write
// "(UTC-05:00) Eastern Time (US & Canada)" or "Customized Time Zone") is taken from the file's own
// VTIMEZONE block of that name, which is what its writer meant; a Windows zone name without a usable
// block last.
#include <QByteArray>
#include <QDateTime>

struct icalcomponent_impl;

namespace orvia::pim {

// The moment, in local time, of a date and time of day in the zone `tzid` names inside `calendar` (the
// file's VCALENDAR), by the rule of WallClock for skipped and repeated faces; invalid when the name
// resolves to no zone.
QDateTime zonedMoment(icalcomponent_impl *calendar, const QByteArray &tzid, const QDate &date,
                      const QTime &time);

} // namespace orvia::pim
