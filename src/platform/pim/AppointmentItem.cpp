#include "platform/pim/AppointmentItem.h"
#include "platform/RuntimeError.h"
#include "platform/WallClock.h"
#include "platform/pim/CalendarZones.h"
#include "platform/pim/ContentLines.h"
#include "platform/pim/ItemLimits.h"
#include "platform/pim/OtherItem.h"

#include <QTimeZone>

#include <algorithm>
#include <array>
#include <limits>

#include <libical/ical.h>

namespace orvia::pim {

namespace {

[[noreturn]] void refuse(const QString &reason)
{
    throwError(ErrItemRefused, QStringLiteral("not a readable iCalendar event: ") + reason);
}

void quietLibrary()
{
    // The library's default is to abort on internal errors; a bad file must only be refused.
    static const bool done = [] {
        icalerror_set_errors_are_fatal(0);
        return true;
    }();
    (void)done;
}

// Frees a component unless released: keeps early refusals free of leaks.
struct ComponentGuard
{
    icalcomponent *c;
    ~ComponentGuard()
    {
        if (c)
            icalcomponent_free(c);
    }
};

bool hasErrors(icalcomponent *c)
{
    if (icalcomponent_get_first_property(c, ICAL_XLICERROR_PROPERTY))
        return true;
    for (icalcomponent *k = icalcomponent_get_first_component(c, ICAL_ANY_COMPONENT); k;
         k = icalcomponent_get_next_component(c, ICAL_ANY_COMPONENT))
        if (hasErrors(k))
            return true;
    return false;
}

void removeErrors(icalcomponent *c)
{
    while (icalproperty *p = icalcomponent_get_first_property(c, ICAL_XLICERROR_PROPERTY)) {
        icalcomponent_remove_property(c, p);
        icalproperty_free(p);
    }
    for (icalcomponent *k = icalcomponent_get_first_component(c, ICAL_ANY_COMPONENT); k;
         k = icalcomponent_get_next_component(c, ICAL_ANY_COMPONENT))
        removeErrors(k);
}

qint64 durationSeconds(const icaldurationtype &d)
{
    qint64 s = qint64(d.weeks) * 7 * 86400 + qint64(d.days) * 86400 + qint64(d.hours) * 3600 +
               qint64(d.minutes) * 60 + qint64(d.seconds);
    return d.is_neg ? -s : s;
}

// The zone a time names, or empty for a floating, UTC or date value.
QByteArray zoneNameOf(icalproperty *prop, const icaltimetype &t)
{
    if (t.is_date || icaltime_is_utc(t))
        return QByteArray();
    icalparameter *tz = icalproperty_get_first_parameter(prop, ICAL_TZID_PARAMETER);
    const char *tzid = tz ? icalparameter_get_tzid(tz) : nullptr;
    return tzid ? QByteArray(tzid) : QByteArray();
}

// The date and time a value is written with, zone-free (midnight for a date); invalid when the value is
// not a usable time.
QDateTime writtenFace(icaltimetype t)
{
    if (icaltime_is_null_time(t))
        return QDateTime();
    const QDate date(t.year, t.month, t.day);
    if (!date.isValid())
        return QDateTime();
    const QTime time = t.is_date ? QTime(0, 0) : QTime(t.hour, t.minute, qMin(t.second, 59));
    if (!time.isValid())
        return QDateTime();
    return QDateTime(date, time, Qt::UTC);
}

// The moment a zoned value of a file whose VCALENDAR is `root` names; invalid for a floating, UTC or
// date value, and for a zone nothing defines.
QDateTime zonedValue(icalcomponent *root, icalproperty *prop, icaltimetype t, const QDateTime &face)
{
    const QByteArray tzid = zoneNameOf(prop, t);
    return tzid.isEmpty() ? QDateTime() : zonedMoment(root, tzid, face.date(), face.time());
}

// A DTSTART/DTEND property of a file whose VCALENDAR is `root` as a local date-time; invalid when the
// value is not a usable time.
QDateTime localTime(icalcomponent *root, icalproperty *prop, icaltimetype t)
{
    const QDateTime face = writtenFace(t);
    if (!face.isValid())
        return face;
    if (!t.is_date && icaltime_is_utc(t))
        return face.toLocalTime();
    const QDateTime zoned = zonedValue(root, prop, t, face);
    return zoned.isValid() ? zoned : faceMoment(face); // floating, or a zone nobody knows: as it stands
}

// The same property as the face of the local clock: a floating one as written, even a face the clock
// skips that day; a moment as its local face.
QDateTime localFace(icalcomponent *root, icalproperty *prop, icaltimetype t)
{
    const QDateTime face = writtenFace(t);
    if (!face.isValid() || t.is_date)
        return face;
    if (icaltime_is_utc(t))
        return clockFace(face.toLocalTime());
    const QDateTime zoned = zonedValue(root, prop, t, face);
    return zoned.isValid() ? clockFace(zoned) : face;
}

// A floating value showing exactly this face (zone-free), even one the clock skips that day.
icaltimetype faceValue(const QDateTime &face, bool dateOnly)
{
    // A value that is no moment has no face to write: a file holding it would not read back.
    if (!face.isValid())
        throwError(ErrInvalidArgument, QStringLiteral("not a valid date and time"));
    icaltimetype t = icaltime_null_time();
    t.year = face.date().year();
    t.month = face.date().month();
    t.day = face.date().day();
    if (dateOnly) {
        t.is_date = 1;
    } else {
        t.hour = face.time().hour();
        t.minute = face.time().minute();
        t.second = face.time().second();
    }
    return t;
}

icaltimetype floatingTime(const QDateTime &when, bool dateOnly)
{
    return faceValue(when.isValid() ? clockFace(when) : QDateTime(), dateOnly);
}

icaltimetype utcNow()
{
    return icaltime_current_time_with_zone(icaltimezone_get_utc_timezone());
}

QString textOf(icalcomponent *c, icalproperty_kind kind)
{
    icalproperty *p = icalcomponent_get_first_property(c, kind);
    if (!p)
        return QString();
    const char *s = icalproperty_get_value_as_string(p);
    icalvalue *v = icalproperty_get_value(p);
    if (v && icalvalue_isa(v) == ICAL_TEXT_VALUE)
        s = icalvalue_get_text(v);
    return s ? QString::fromUtf8(s) : QString();
}

void setText(icalcomponent *c, icalproperty_kind kind, const QString &text, bool removeWhenEmpty)
{
    icalproperty *p = icalcomponent_get_first_property(c, kind);
    if (text.isEmpty() && removeWhenEmpty) {
        if (p) {
            icalcomponent_remove_property(c, p);
            icalproperty_free(p);
        }
        return;
    }
    const QByteArray utf8 = text.toUtf8();
    if (!p) {
        p = icalproperty_new(kind);
        icalcomponent_add_property(c, p);
    }
    icalproperty_set_value(p, icalvalue_new_text(utf8.constData()));
}

void setTime(icalcomponent *c, icalproperty_kind kind, const icaltimetype &t)
{
    icalproperty *p = icalcomponent_get_first_property(c, kind);
    if (!p) {
        p = icalproperty_new(kind);
        icalcomponent_add_property(c, p);
    }
    icalproperty_remove_parameter_by_kind(p, ICAL_TZID_PARAMETER);
    icalproperty_remove_parameter_by_kind(p, ICAL_VALUE_PARAMETER);
    icalproperty_set_value(p, t.is_date ? icalvalue_new_date(t) : icalvalue_new_datetime(t));
    if (t.is_date)
        icalproperty_add_parameter(p, icalparameter_new_value(ICAL_VALUE_DATE));
}

// The value part of a content line: after the first colon outside a quoted parameter value.
QByteArray valueOf(const QByteArray &line)
{
    const qsizetype colon = findUnquoted(line, ':');
    return colon < 0 ? QByteArray() : line.mid(colon + 1);
}

QByteArray nameOf(const QByteArray &line)
{
    qsizetype end = 0;
    while (end < line.size() && line.at(end) != ':' && line.at(end) != ';')
        ++end;
    return line.left(end).trimmed().toUpper();
}

// The parser drops the blanks a text value begins with ("  Standup" reads as "Standup"): they are put
// back from the file's own lines, event by event, so a title comes back as it was written. The walk
// follows the file's BEGIN and END lines the way the parser does; when the file leaves a component open
// or holds an event inside another, or the walk finds other events or other title lines than the parser
// kept, nothing is put back: blanks lost are better than blanks given to the wrong event.
void restoreLeadingBlanks(icalcomponent *root, const QByteArray &data)
{
    // Only a value right after a colon can begin with a blank, directly or past a fold: most files hold
    // none, and are not walked again.
    if (!data.contains(": ") && !data.contains(":\t") && !data.contains(":\r\n") && !data.contains(":\n"))
        return;
    const std::array<icalproperty_kind, 2> kinds{ICAL_SUMMARY_PROPERTY, ICAL_DESCRIPTION_PROPERTY};
    struct EventLeads
    {
        std::array<QByteArray, 2> lead; // of its first summary and first description line
        std::array<int, 2> lines{0, 0}; // how many of each it holds
    };
    QList<EventLeads> leads;
    QList<QByteArray> open; // the components the walk is in, outermost first
    for (const QByteArray &line : unfoldLines(data)) {
        const QByteArray name = nameOf(line);
        const QByteArray value = valueOf(line).trimmed().toUpper();
        if (name == "BEGIN") {
            if (value == "VEVENT") {
                if (open != QList<QByteArray>{"VCALENDAR"})
                    return;
                leads.append(EventLeads{});
            }
            open.append(value);
        } else if (name == "END") {
            // As the parser does: an END closes the last component begun, whatever it names, and is
            // ignored when none is open.
            if (!open.isEmpty())
                open.removeLast();
        } else if (open.size() == 2 && open.last() == "VEVENT" &&
                   (name == "SUMMARY" || name == "DESCRIPTION")) {
            const int i = name == "SUMMARY" ? 0 : 1;
            EventLeads &e = leads.last();
            if (e.lines[i]++ == 0) { // the first such line, as the parser's first property
                const QByteArray v = valueOf(line);
                qsizetype n = 0;
                while (n < v.size() && (v.at(n) == ' ' || v.at(n) == '\t'))
                    ++n;
                e.lead[i] = v.left(n);
            }
        }
    }
    if (!open.isEmpty())
        return;
    QList<icalcomponent *> events;
    for (icalcomponent *ev = icalcomponent_get_first_component(root, ICAL_VEVENT_COMPONENT); ev;
         ev = icalcomponent_get_next_component(root, ICAL_VEVENT_COMPONENT))
        events.append(ev);
    if (events.size() != leads.size())
        return;
    for (qsizetype k = 0; k < events.size(); ++k)
        for (int i = 0; i < 2; ++i)
            if (icalcomponent_count_properties(events.at(k), kinds.at(i)) != leads.at(k).lines.at(i))
                return;
    for (qsizetype k = 0; k < events.size(); ++k) {
        for (int i = 0; i < 2; ++i) {
            const QByteArray &lead = leads.at(k).lead.at(i);
            icalproperty *p = icalcomponent_get_first_property(events.at(k), kinds.at(i));
            icalvalue *v = p ? icalproperty_get_value(p) : nullptr;
            if (lead.isEmpty() || !v || icalvalue_isa(v) != ICAL_TEXT_VALUE)
                continue;
            const char *text = icalvalue_get_text(v);
            const QByteArray whole = lead + QByteArray(text ? text : "");
            icalproperty_set_value(p, icalvalue_new_text(whole.constData()));
        }
    }
}

icalproperty *extraPropertyOf(icalcomponent *c, const QByteArray &name)
{
    for (icalproperty *p = icalcomponent_get_first_property(c, ICAL_X_PROPERTY); p;
         p = icalcomponent_get_next_property(c, ICAL_X_PROPERTY)) {
        const char *n = icalproperty_get_x_name(p);
        if (n && QByteArray(n).compare(name, Qt::CaseInsensitive) == 0)
            return p;
    }
    return nullptr;
}

icaltimetype rawTime(icalproperty *p)
{
    icalvalue *v = p ? icalproperty_get_value(p) : nullptr;
    if (!v)
        return icaltime_null_time();
    const icalvalue_kind k = icalvalue_isa(v);
    if (k != ICAL_DATETIME_VALUE && k != ICAL_DATE_VALUE && k != ICAL_DATETIMEDATE_VALUE)
        return icaltime_null_time();
    return icalvalue_get_datetimedate(v);
}

} // namespace

AppointmentItem::AppointmentItem(icalcomponent *root, icalcomponent *event, bool hadErrors)
    : m_root(root), m_event(event), m_hadErrors(hadErrors)
{
    if (icalproperty *rule = icalcomponent_get_first_property(m_event, ICAL_RRULE_PROPERTY)) {
        const icalrecurrencetype r = icalproperty_get_rrule(rule);
        switch (r.freq) {
        case ICAL_DAILY_RECURRENCE:
            m_pattern.m_type = RecursDaily;
            break;
        case ICAL_WEEKLY_RECURRENCE:
            m_pattern.m_type = RecursWeekly;
            break;
        case ICAL_MONTHLY_RECURRENCE:
            m_pattern.m_type = RecursMonthly;
            break;
        case ICAL_YEARLY_RECURRENCE:
            m_pattern.m_type = RecursYearly;
            break;
        default:
            break;
        }
        m_pattern.m_start = startFace().date();
        if (!icaltime_is_null_time(r.until))
            m_pattern.m_end = QDate(r.until.year, r.until.month, r.until.day);
    }
    if (icalcomponent *alarm = reminderAlarm()) {
        (void)alarm;
        m_minutes = ReminderMinutesBeforeStart();
    }
}

AppointmentItem::~AppointmentItem()
{
    icalcomponent_free(m_root);
}

std::shared_ptr<AppointmentItem> AppointmentItem::fromData(const QByteArray &data)
{
    auto item = std::dynamic_pointer_cast<AppointmentItem>(calendarItemFromData(data));
    if (!item)
        refuse(QStringLiteral("no VEVENT"));
    return item;
}

std::shared_ptr<PimItem> AppointmentItem::calendarItemFromData(const QByteArray &data)
{
    quietLibrary();
    checkCalendarShape(data);
    if (data.contains('\0'))
        refuse(QStringLiteral("binary data"));
    if (!data.toUpper().contains("END:VCALENDAR"))
        refuse(QStringLiteral("no END:VCALENDAR (truncated file)"));
    ComponentGuard root{icalparser_parse_string(data.constData())};
    if (!root.c || icalcomponent_isa(root.c) != ICAL_VCALENDAR_COMPONENT)
        refuse(QStringLiteral("no VCALENDAR"));
    restoreLeadingBlanks(root.c, data);
    icalcomponent *master = nullptr;
    QByteArray uid;
    bool first = true;
    for (icalcomponent *ev = icalcomponent_get_first_component(root.c, ICAL_VEVENT_COMPONENT); ev;
         ev = icalcomponent_get_next_component(root.c, ICAL_VEVENT_COMPONENT)) {
        icalproperty *uidProp = icalcomponent_get_first_property(ev, ICAL_UID_PROPERTY);
        const char *u = uidProp ? icalproperty_get_uid(uidProp) : nullptr;
        const QByteArray thisUid = u ? QByteArray(u) : QByteArray();
        if (first)
            uid = thisUid;
        else if (thisUid != uid)
            refuse(QStringLiteral("several events in one file"));
        first = false;
        const bool isException = icalcomponent_get_first_property(ev, ICAL_RECURRENCEID_PROPERTY) != nullptr;
        if (!master || (!isException && icalcomponent_get_first_property(master, ICAL_RECURRENCEID_PROPERTY)))
            master = ev;
    }
    if (!master) {
        if (icalcomponent_get_first_component(root.c, ICAL_VTODO_COMPONENT))
            return std::make_shared<OtherItem>(QStringLiteral("TaskItem"), ClassTask);
        if (icalcomponent_get_first_component(root.c, ICAL_VJOURNAL_COMPONENT))
            return std::make_shared<OtherItem>(QStringLiteral("JournalItem"), ClassJournal);
        refuse(QStringLiteral("no VEVENT"));
    }
    icalproperty *dtstart = icalcomponent_get_first_property(master, ICAL_DTSTART_PROPERTY);
    if (!dtstart || !localTime(root.c, dtstart, rawTime(dtstart)).isValid())
        refuse(QStringLiteral("no valid DTSTART"));
    const bool errors = hasErrors(root.c);
    icalcomponent *owned = root.c;
    root.c = nullptr;
    return std::shared_ptr<AppointmentItem>(new AppointmentItem(owned, master, errors));
}

std::shared_ptr<AppointmentItem> AppointmentItem::createNew()
{
    quietLibrary();
    icalcomponent *root = icalcomponent_new(ICAL_VCALENDAR_COMPONENT);
    icalcomponent_add_property(root, icalproperty_new_version("2.0"));
    icalcomponent_add_property(root, icalproperty_new_prodid("-//Velmora//Orvia Link//EN"));
    icalcomponent *event = icalcomponent_new(ICAL_VEVENT_COMPONENT);
    icalcomponent_add_property(event, icalproperty_new_uid(newUid().toUtf8().constData()));
    icalcomponent_add_property(event, icalproperty_new_dtstamp(utcNow()));
    icalcomponent_add_component(root, event);
    return std::shared_ptr<AppointmentItem>(new AppointmentItem(root, event, false));
}

QString AppointmentItem::uid() const
{
    icalproperty *p = icalcomponent_get_first_property(m_event, ICAL_UID_PROPERTY);
    const char *u = p ? icalproperty_get_uid(p) : nullptr;
    return u ? QString::fromUtf8(u) : QString();
}

void AppointmentItem::setUid(const QString &uid)
{
    // Exceptions of a recurring event share its UID.
    const QByteArray utf8 = uid.toUtf8();
    for (icalcomponent *ev = icalcomponent_get_first_component(m_root, ICAL_VEVENT_COMPONENT); ev;
         ev = icalcomponent_get_next_component(m_root, ICAL_VEVENT_COMPONENT)) {
        icalproperty *p = icalcomponent_get_first_property(ev, ICAL_UID_PROPERTY);
        if (p)
            icalproperty_set_uid(p, utf8.constData());
        else
            icalcomponent_add_property(ev, icalproperty_new_uid(utf8.constData()));
    }
}

QString AppointmentItem::subject() const
{
    return textOf(m_event, ICAL_SUMMARY_PROPERTY);
}
void AppointmentItem::setSubject(const QString &text)
{
    // No title is no SUMMARY line: an empty one is what the calendar library reads as an error.
    setText(m_event, ICAL_SUMMARY_PROPERTY, text, true);
}
QString AppointmentItem::body() const
{
    return textOf(m_event, ICAL_DESCRIPTION_PROPERTY);
}
void AppointmentItem::setBody(const QString &text)
{
    setText(m_event, ICAL_DESCRIPTION_PROPERTY, text, true);
}

QString AppointmentItem::extraProperty(const QByteArray &name) const
{
    icalproperty *p = extraPropertyOf(m_event, name);
    const char *v = p ? icalproperty_get_x(p) : nullptr;
    return v ? QString::fromUtf8(v) : QString();
}

void AppointmentItem::setExtraProperty(const QByteArray &name, const QString &value)
{
    while (icalproperty *p = extraPropertyOf(m_event, name)) {
        icalcomponent_remove_property(m_event, p);
        icalproperty_free(p);
    }
    if (value.isEmpty())
        return;
    icalproperty *p = icalproperty_new_x(value.toUtf8().constData());
    icalproperty_set_x_name(p, name.constData());
    icalcomponent_add_property(m_event, p);
}

QDateTime AppointmentItem::start() const
{
    icalproperty *p = icalcomponent_get_first_property(m_event, ICAL_DTSTART_PROPERTY);
    return p ? localTime(m_root, p, rawTime(p)) : QDateTime();
}

QDateTime AppointmentItem::end() const
{
    if (icalproperty *p = icalcomponent_get_first_property(m_event, ICAL_DTEND_PROPERTY)) {
        QDateTime e = localTime(m_root, p, rawTime(p));
        if (e.isValid())
            return e;
    }
    const QDateTime s = start();
    if (!s.isValid())
        return s;
    if (icalproperty *d = icalcomponent_get_first_property(m_event, ICAL_DURATION_PROPERTY)) {
        const qint64 secs = durationSeconds(icalproperty_get_duration(d));
        if (secs >= 0 && secs < qint64(100) * 366 * 86400)
            return s.addSecs(secs);
    }
    return AllDayEvent() ? s.addDays(1) : s;
}

QDateTime AppointmentItem::startFace() const
{
    icalproperty *p = icalcomponent_get_first_property(m_event, ICAL_DTSTART_PROPERTY);
    return p ? localFace(m_root, p, rawTime(p)) : QDateTime();
}

QDateTime AppointmentItem::endFace() const
{
    if (icalproperty *p = icalcomponent_get_first_property(m_event, ICAL_DTEND_PROPERTY)) {
        const QDateTime e = localFace(m_root, p, rawTime(p));
        if (e.isValid())
            return e;
    }
    const QDateTime s = startFace();
    if (!s.isValid())
        return s;
    if (icalcomponent_get_first_property(m_event, ICAL_DURATION_PROPERTY))
        return clockFace(end()); // a duration is counted from the start's moment
    return AllDayEvent() ? s.addDays(1) : s;
}

void AppointmentItem::setStart(const QDateTime &when)
{
    setTime(m_event, ICAL_DTSTART_PROPERTY, floatingTime(when, false));
}

void AppointmentItem::setStartFace(const QDateTime &face)
{
    setTime(m_event, ICAL_DTSTART_PROPERTY, faceValue(face, false));
}

void AppointmentItem::setEndFace(const QDateTime &face)
{
    if (icalproperty *d = icalcomponent_get_first_property(m_event, ICAL_DURATION_PROPERTY)) {
        icalcomponent_remove_property(m_event, d);
        icalproperty_free(d);
    }
    setTime(m_event, ICAL_DTEND_PROPERTY, faceValue(face, AllDayEvent()));
}

void AppointmentItem::setEnd(const QDateTime &when)
{
    if (icalproperty *d = icalcomponent_get_first_property(m_event, ICAL_DURATION_PROPERTY)) {
        icalcomponent_remove_property(m_event, d);
        icalproperty_free(d);
    }
    setTime(m_event, ICAL_DTEND_PROPERTY, floatingTime(when, AllDayEvent()));
}

QString AppointmentItem::unresolvedZone() const
{
    for (const icalproperty_kind kind : {ICAL_DTSTART_PROPERTY, ICAL_DTEND_PROPERTY}) {
        icalproperty *p = icalcomponent_get_first_property(m_event, kind);
        if (!p)
            continue;
        const icaltimetype t = rawTime(p);
        const QByteArray tzid = zoneNameOf(p, t);
        const QDateTime face = writtenFace(t);
        if (!tzid.isEmpty() && face.isValid() && !zonedValue(m_root, p, t, face).isValid())
            return QString::fromUtf8(tzid);
    }
    return QString();
}

bool AppointmentItem::AllDayEvent() const
{
    icalproperty *p = icalcomponent_get_first_property(m_event, ICAL_DTSTART_PROPERTY);
    return p && rawTime(p).is_date;
}

icalcomponent *AppointmentItem::reminderAlarm() const
{
    for (icalcomponent *a = icalcomponent_get_first_component(m_event, ICAL_VALARM_COMPONENT); a;
         a = icalcomponent_get_next_component(m_event, ICAL_VALARM_COMPONENT)) {
        icalproperty *action = icalcomponent_get_first_property(a, ICAL_ACTION_PROPERTY);
        if (action) {
            const icalproperty_action kind = icalproperty_get_action(action);
            if (kind != ICAL_ACTION_DISPLAY && kind != ICAL_ACTION_AUDIO)
                continue;
        }
        icalproperty *trigger = icalcomponent_get_first_property(a, ICAL_TRIGGER_PROPERTY);
        if (!trigger)
            continue;
        const icaltriggertype t = icalproperty_get_trigger(trigger);
        if (!icaltime_is_null_time(t.time))
            continue; // an alarm at a fixed time is not a lead time
        return a;
    }
    return nullptr;
}

bool AppointmentItem::ReminderSet() const
{
    return reminderAlarm() != nullptr;
}

qint32 AppointmentItem::ReminderMinutesBeforeStart() const
{
    icalcomponent *a = reminderAlarm();
    if (!a)
        return m_minutes;
    icalproperty *trigger = icalcomponent_get_first_property(a, ICAL_TRIGGER_PROPERTY);
    qint64 secs = durationSeconds(icalproperty_get_trigger(trigger).duration);
    if (icalparameter *rel = icalproperty_get_first_parameter(trigger, ICAL_RELATED_PARAMETER))
        if (icalparameter_get_related(rel) == ICAL_RELATED_END)
            secs += start().secsTo(end());
    const qint64 minutes = -secs / 60;
    return qint32(std::clamp<qint64>(minutes, 0, std::numeric_limits<qint32>::max()));
}

void AppointmentItem::setReminderSet(bool on)
{
    icalcomponent *a = reminderAlarm();
    if (!on) {
        if (a) {
            icalcomponent_remove_component(m_event, a);
            icalcomponent_free(a);
        }
        return;
    }
    if (a)
        return;
    a = icalcomponent_new(ICAL_VALARM_COMPONENT);
    icalcomponent_add_property(a, icalproperty_new_action(ICAL_ACTION_DISPLAY));
    const QString s = subject();
    icalcomponent_add_property(
        a, icalproperty_new_description(s.isEmpty() ? "Reminder" : s.toUtf8().constData()));
    icaltriggertype t;
    t.time = icaltime_null_time();
    t.duration = icaldurationtype_from_int(0);
    icalcomponent_add_property(a, icalproperty_new_trigger(t));
    icalcomponent_add_component(m_event, a);
    setReminderMinutesBeforeStart(m_minutes);
}

void AppointmentItem::setReminderMinutesBeforeStart(qint32 minutes)
{
    // Lead times beyond what a trigger in seconds can hold are cut to the largest one.
    constexpr qint32 limit = std::numeric_limits<int>::max() / 60;
    m_minutes = qBound(-limit, minutes, limit);
    icalcomponent *a = reminderAlarm();
    if (!a)
        return;
    icalproperty *trigger = icalcomponent_get_first_property(a, ICAL_TRIGGER_PROPERTY);
    icalproperty_remove_parameter_by_kind(trigger, ICAL_RELATED_PARAMETER);
    icaltriggertype t;
    t.time = icaltime_null_time();
    t.duration = icaldurationtype_from_int(-m_minutes * 60);
    icalproperty_set_trigger(trigger, t);
}

void RecurrencePattern::setRecurrenceType(qint32 type)
{
    switch (type) {
    case RecursDaily:
    case RecursWeekly:
    case RecursMonthly:
    case RecursMonthNth:
    case RecursYearly:
    case RecursYearNth:
        break;
    default:
        throwError(ErrInvalidArgument);
    }
    m_type = type;
    m_changed = true;
}

void AppointmentItem::applyPattern()
{
    if (!m_pattern.m_changed)
        return;
    while (icalproperty *p = icalcomponent_get_first_property(m_event, ICAL_RRULE_PROPERTY)) {
        icalcomponent_remove_property(m_event, p);
        icalproperty_free(p);
    }
    m_pattern.m_changed = false;
    if (m_pattern.m_type == RecursNone)
        return;
    const bool allDay = AllDayEvent();
    // The series begins on the pattern's first day, at the appointment's own face and length on the
    // face: a face that first day skips stays, for the years that show it.
    const QDateTime s = startFace();
    if (m_pattern.m_start.isValid() && s.isValid() && m_pattern.m_start != s.date()) {
        const qint64 length = s.secsTo(endFace());
        const QDateTime moved(m_pattern.m_start, s.time(), Qt::UTC);
        setTime(m_event, ICAL_DTSTART_PROPERTY, faceValue(moved, allDay));
        setTime(m_event, ICAL_DTEND_PROPERTY, faceValue(moved.addSecs(length), allDay));
    }
    QByteArray rule = "FREQ=";
    switch (m_pattern.m_type) {
    case RecursDaily:
        rule += "DAILY";
        break;
    case RecursWeekly:
        rule += "WEEKLY";
        break;
    case RecursMonthly:
    case RecursMonthNth:
        rule += "MONTHLY";
        break;
    default:
        rule += "YEARLY";
        break;
    }
    if (m_pattern.m_end.isValid()) {
        // UNTIL takes the start's value type: a date for all-day events, else a floating time.
        rule += ";UNTIL=" + m_pattern.m_end.toString(QStringLiteral("yyyyMMdd")).toLatin1();
        if (!allDay)
            rule += "T235959";
    }
    icalcomponent_add_property(m_event,
                               icalproperty_new_rrule(icalrecurrencetype_from_string(rule.constData())));
}

void AppointmentItem::beforeSave()
{
    if (m_hadErrors)
        throwError(ErrItemRefused, QStringLiteral("the file holds errors; it is not rewritten"));
    icalproperty *dtstart = icalcomponent_get_first_property(m_event, ICAL_DTSTART_PROPERTY);
    if (!dtstart)
        throwError(ErrInvalidArgument, QStringLiteral("an appointment needs a start"));
    applyPattern();
    // Always an explicit end of the start's type, never before the start: calendar tools skip the rest.
    // Before means on the face and as moments both: a start face the clock skips that day is a later
    // moment than an end face just past the gap, and the face of a yearly event stays as written.
    const QDateTime s = startFace();
    QDateTime e = endFace();
    if (!e.isValid() || (e < s && end() < start()))
        e = AllDayEvent() ? s.addDays(1) : s;
    if (icalproperty *d = icalcomponent_get_first_property(m_event, ICAL_DURATION_PROPERTY)) {
        icalcomponent_remove_property(m_event, d);
        icalproperty_free(d);
    }
    icalproperty *dtend = icalcomponent_get_first_property(m_event, ICAL_DTEND_PROPERTY);
    const bool sameType = dtend && bool(rawTime(dtend).is_date) == AllDayEvent();
    if (!dtend || !sameType || e != endFace())
        setTime(m_event, ICAL_DTEND_PROPERTY, faceValue(e, AllDayEvent()));
    if (icalproperty *stamp = icalcomponent_get_first_property(m_event, ICAL_DTSTAMP_PROPERTY))
        icalproperty_set_dtstamp(stamp, utcNow());
    else
        icalcomponent_add_property(m_event, icalproperty_new_dtstamp(utcNow()));
}

QByteArray AppointmentItem::serialize() const
{
    removeErrors(m_root);
    char *text = icalcomponent_as_ical_string_r(m_root);
    const QByteArray raw(text ? text : "");
    icalmemory_free_buffer(text);
    // Re-fold with our own rule: never split a multi-byte character.
    QByteArray out;
    out.reserve(raw.size() + raw.size() / 50);
    for (const QByteArray &line : unfoldLines(raw))
        out += foldLine(line);
    return out;
}

} // namespace orvia::pim
