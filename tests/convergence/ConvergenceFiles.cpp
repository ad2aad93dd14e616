// Calendar files as other desktops' programs leave them in the folder: events in a zone that only the
// file itself defines, and files whose BEGIN and END lines do not pair up. Drawn from a stream of their
// own, so that the rest of a seed's world stays what it was.
#include "convergence/ConvergenceWorld.h"

#include <iterator>
#include <random>

namespace orvia::test::convergence {

namespace {

// A zone as a display name and the rules of a VTIMEZONE block, with the IANA zone whose rules are the
// same over the years the events are drawn from.
struct FileZone
{
    const char *id;
    const char *sameRulesAs;
    const char *standard; // offset, DTSTART and RRULE of the observance
    const char *daylight; // empty when the zone keeps no summer time
};

const FileZone kZones[] = {
    {"(UTC-05:00) Eastern Time (US & Canada)", "America/New_York",
     "-0400|-0500|16010101T020000|FREQ=YEARLY;BYDAY=1SU;BYMONTH=11",
     "-0500|-0400|16010101T020000|FREQ=YEARLY;BYDAY=2SU;BYMONTH=3"},
    {"(UTC-08:00) Pacific Time (US & Canada)", "America/Los_Angeles",
     "-0700|-0800|16010101T020000|FREQ=YEARLY;BYDAY=1SU;BYMONTH=11",
     "-0800|-0700|16010101T020000|FREQ=YEARLY;BYDAY=2SU;BYMONTH=3"},
    {"(UTC+01:00) Amsterdam, Berlin, Bern, Rome, Stockholm, Vienna", "Europe/Berlin",
     "+0200|+0100|16010101T030000|FREQ=YEARLY;BYDAY=-1SU;BYMONTH=10",
     "+0100|+0200|16010101T020000|FREQ=YEARLY;BYDAY=-1SU;BYMONTH=3"},
    {"Customized Time Zone", "Europe/Helsinki",
     "+0300|+0200|16010101T040000|FREQ=YEARLY;BYDAY=-1SU;BYMONTH=10",
     "+0200|+0300|16010101T030000|FREQ=YEARLY;BYDAY=-1SU;BYMONTH=3"},
    {"(UTC+10:00) Canberra, Melbourne, Sydney", "Australia/Sydney",
     "+1100|+1000|16010101T030000|FREQ=YEARLY;BYDAY=1SU;BYMONTH=4",
     "+1000|+1100|16010101T020000|FREQ=YEARLY;BYDAY=1SU;BYMONTH=10"},
    {"(UTC+05:30) Chennai, Kolkata, Mumbai, New Delhi", "Asia/Kolkata", "+0530|+0530|16010101T000000|", ""},
};

QByteArray observance(const char *kind, const char *rules)
{
    const QList<QByteArray> f = QByteArray(rules).split('|');
    QByteArray s = "BEGIN:" + QByteArray(kind) + "\r\nDTSTART:" + f.at(2) + "\r\nTZOFFSETFROM:" + f.at(0) +
                   "\r\nTZOFFSETTO:" + f.at(1) + "\r\n";
    if (!f.at(3).isEmpty())
        s += "RRULE:" + f.at(3) + "\r\n";
    return s + "END:" + QByteArray(kind) + "\r\n";
}

QByteArray blockOf(const FileZone &z)
{
    QByteArray s =
        "BEGIN:VTIMEZONE\r\nTZID:" + QByteArray(z.id) + "\r\n" + observance("STANDARD", z.standard);
    if (*z.daylight)
        s += observance("DAYLIGHT", z.daylight);
    return s + "END:VTIMEZONE\r\n";
}

class Stream
{
public:
    explicit Stream(quint32 seed) : m_gen(seed * 2654435761u + 0x7a6f6e65u) {}
    int below(int n) { return n <= 1 ? 0 : int(m_gen() % quint32(n)); }
    bool chance(int percent) { return below(100) < percent; }

private:
    std::mt19937 m_gen;
};

QDateTime face(const QDate &d, const QTime &t)
{
    return QDateTime(d, t, Qt::UTC);
}

// A face in the zone: mostly on an ordinary day ahead, sometimes around the night of one of its changes.
QDateTime zoneFace(Stream &dice, const QDateTime &now)
{
    if (dice.chance(25)) {
        const QStringList nights{"2026-03-08", "2026-11-01", "2026-03-29", "2026-10-25",
                                 "2026-04-05", "2026-10-04", "2027-03-14", "2027-03-28"};
        return face(QDate::fromString(nights.at(dice.below(int(nights.size()))), Qt::ISODate),
                    QTime(dice.below(5), dice.below(12) * 5));
    }
    return face(now.date().addDays(5 + dice.below(390)), QTime(dice.below(24), dice.below(12) * 5));
}

void zonedEvents(World &w, Stream &dice, const QDateTime &now)
{
    for (int i = 0, n = dice.below(4); i < n; ++i) {
        const FileZone &z = kZones[dice.below(int(std::size(kZones)))];
        DesktopEvent e;
        e.uid = QStringLiteral("z%1").arg(i);
        e.summary = QStringLiteral("Overseas call %1").arg(i);
        e.start = zoneFace(dice, now);
        if (dice.chance(40))
            e.reminder = QList<int>{0, 15, 60}.at(dice.below(3));
        e.zoneId = QString::fromLatin1(z.id);
        e.zoneBlock = blockOf(z);
        e.sameRulesAs = z.sameRulesAs;
        w.events << e;
    }
}

// The shapes of damaged files: the event's lines, and the event as a calendar program would have
// written it around them. `refused`: no reader can take an event from it.
struct Damage
{
    const char *before; // between the calendar's header and the event
    const char *early;  // after the event's start, before its end and title
    const char *inside; // after the event's title
    const char *after;  // after the event's end
    bool refused;
};

const Damage kDamage[] = {
    {"END:VALARM\r\nEND:VALARM\r\nDESCRIPTION: x\r\n", "", "", "", true}, // more ends than begins, then text
    {"END:VEVENT\r\n", "", "", "", true},                                 // a stray end before the event
    {"", "", "", "END:VEVENT\r\n", false},                                // and after it
    {"", "", "", "END:VCALENDAR\r\n", false},                             // the calendar ended twice
    {"", "", "BEGIN:VALARM\r\n", "", true},                               // a begin without its end
    {"", "", "END:VALARM\r\nDESCRIPTION: note\r\n", "", true}, // a stray end inside the event, its note lost
    {"", "END:VALARM\r\n", "", "", true}, // the same before the title and the end: both lost
};

void damagedFiles(World &w, Stream &dice, const QDateTime &now)
{
    for (int i = 0, n = dice.below(3); i < n; ++i) {
        const Damage &d = kDamage[dice.below(int(std::size(kDamage)))];
        DesktopEvent e;
        e.uid = QStringLiteral("t%1").arg(i);
        e.summary = QStringLiteral("Torn file %1").arg(i);
        e.start =
            face(now.date().addDays(5 + dice.below(390)), QTime(7 + dice.below(14), dice.below(12) * 5));
        e.refused = d.refused;
        const QByteArray when = e.start.toString(QStringLiteral("yyyyMMdd'T'HHmmss")).toLatin1();
        const QByteArray end = e.start.addSecs(1800).toString(QStringLiteral("yyyyMMdd'T'HHmmss")).toLatin1();
        e.damagedFile = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//t//t//EN\r\n" + QByteArray(d.before) +
                        "BEGIN:VEVENT\r\nUID:" + e.uid.toLatin1() +
                        "\r\nDTSTAMP:20260101T000000Z\r\nDTSTART:" + when + "\r\n" + d.early +
                        "DTEND:" + end + "\r\nSUMMARY:" + e.summary.toLatin1() + "\r\n" + d.inside +
                        "END:VEVENT\r\n" + d.after + "END:VCALENDAR\r\n";
        w.events << e;
    }
}

} // namespace

void drawOtherDesktopsFiles(World &w, const TextClasses &classes, const QDateTime &now)
{
    Stream dice(w.seed);
    if (classes.fileZones)
        zonedEvents(w, dice, now);
    if (classes.unbalancedFiles)
        damagedFiles(w, dice, now);
}

QByteArray zonedIcsOf(const DesktopEvent &e)
{
    if (!e.damagedFile.isEmpty())
        return e.damagedFile;
    const QByteArray tzid = ";TZID=\"" + e.zoneId.toUtf8() + "\":";
    const auto at = [&tzid](const QDateTime &t) {
        return tzid + t.toString(QStringLiteral("yyyyMMdd'T'HHmmss")).toLatin1() + "\r\n";
    };
    QByteArray s = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//t//t//EN\r\n" + e.zoneBlock +
                   "BEGIN:VEVENT\r\nUID:" + e.uid.toUtf8() + "\r\nDTSTAMP:20260101T000000Z\r\nDTSTART" +
                   at(e.start) + "DTEND" + at(e.start.addSecs(60 * e.minutes)) +
                   "SUMMARY:" + e.summary.toUtf8() + "\r\n";
    if (e.reminder)
        s += "BEGIN:VALARM\r\nACTION:DISPLAY\r\nDESCRIPTION:Reminder\r\nTRIGGER:-PT" +
             QByteArray::number(*e.reminder) + "M\r\nEND:VALARM\r\n";
    return s + "END:VEVENT\r\nEND:VCALENDAR\r\n";
}

} // namespace orvia::test::convergence
