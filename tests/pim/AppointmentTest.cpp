// Appointments: reading what calendar tools write, and writing what they read.
#include "PimTestFolder.h"
#include "platform/RuntimeError.h"
#include "platform/WallClock.h"
#include "platform/pim/AppointmentItem.h"

#include <QTimeZone>
#include <gtest/gtest.h>

using namespace orvia;
using namespace orvia::pim;
using orvia::pim::test::crlf;

namespace {

QByteArray event(const char *lines)
{
    return crlf("BEGIN:VCALENDAR\nVERSION:2.0\nPRODID:-//test//"
                "EN\nBEGIN:VEVENT\nUID:e1\nDTSTAMP:20240101T000000Z\n") +
           crlf(lines) + crlf("END:VEVENT\nEND:VCALENDAR\n");
}

int refusedNumber(const QByteArray &data)
{
    try {
        AppointmentItem::fromData(data);
    } catch (const RuntimeError &e) {
        return e.number();
    }
    return 0;
}

} // namespace

TEST(AppointmentRead, FloatingZonedAndUtcTimesBecomeLocal)
{
    auto floating = AppointmentItem::fromData(event(
        "SUMMARY:Dentist\nDTSTART:20240305T093000\nDTEND:20240305T100000\nDESCRIPTION:Bring card\\, ID\n"));
    EXPECT_EQ(floating->TypeName(), "AppointmentItem");
    EXPECT_EQ(floating->subject(), "Dentist");
    EXPECT_EQ(floating->body(), "Bring card, ID");
    EXPECT_EQ(floating->start(), QDateTime(QDate(2024, 3, 5), QTime(9, 30)));
    EXPECT_EQ(floating->end(), QDateTime(QDate(2024, 3, 5), QTime(10, 0)));
    EXPECT_FALSE(floating->AllDayEvent());
    EXPECT_FALSE(floating->ReminderSet());

    auto utc = AppointmentItem::fromData(event("DTSTART:20240305T093000Z\nDTEND:20240305T100000Z\n"));
    EXPECT_EQ(utc->start(), QDateTime(QDate(2024, 3, 5), QTime(9, 30), QTimeZone::utc()).toLocalTime());

    // khal names zones by IANA id, with or without a VTIMEZONE block; the library's prefixed ids too.
    auto zoned =
        AppointmentItem::fromData(event("DTSTART;TZID=America/New_York:20240705T120000\n"
                                        "DTEND;TZID=/freeassociation.sourceforge.net/America/New_York:"
                                        "20240705T130000\n"));
    const QTimeZone ny("America/New_York");
    EXPECT_EQ(zoned->start(), QDateTime(QDate(2024, 7, 5), QTime(12, 0), ny).toLocalTime());
    EXPECT_EQ(zoned->end(), QDateTime(QDate(2024, 7, 5), QTime(13, 0), ny).toLocalTime());

    auto unknownZone = AppointmentItem::fromData(event("DTSTART;TZID=Mars/Olympus:20240705T120000\n"));
    EXPECT_EQ(unknownZone->start(), QDateTime(QDate(2024, 7, 5), QTime(12, 0)));
    EXPECT_EQ(unknownZone->end(), unknownZone->start()); // no end and no duration: a moment
}

namespace {

// A zone as calendar programs on other desktops write it: a display name, and its rules in the file.
const char *kEasternBlock = "BEGIN:VTIMEZONE\nTZID:(UTC-05:00) Eastern Time (US & Canada)\n"
                            "BEGIN:STANDARD\nDTSTART:16010101T020000\nTZOFFSETFROM:-0400\nTZOFFSETTO:-0500\n"
                            "RRULE:FREQ=YEARLY;BYDAY=1SU;BYMONTH=11\nEND:STANDARD\n"
                            "BEGIN:DAYLIGHT\nDTSTART:16010101T020000\nTZOFFSETFROM:-0500\nTZOFFSETTO:-0400\n"
                            "RRULE:FREQ=YEARLY;BYDAY=2SU;BYMONTH=3\nEND:DAYLIGHT\nEND:VTIMEZONE\n";
const char *kEastern = "\"(UTC-05:00) Eastern Time (US & Canada)\"";
// A zone the user made up: two hours east, three in summer, changing on the last Sundays of March and
// October.
const char *kCustomBlock = "BEGIN:VTIMEZONE\nTZID:Customized Time Zone\n"
                           "BEGIN:STANDARD\nDTSTART:16010101T040000\nTZOFFSETFROM:+0300\nTZOFFSETTO:+0200\n"
                           "RRULE:FREQ=YEARLY;BYDAY=-1SU;BYMONTH=10\nEND:STANDARD\n"
                           "BEGIN:DAYLIGHT\nDTSTART:16010101T030000\nTZOFFSETFROM:+0200\nTZOFFSETTO:+0300\n"
                           "RRULE:FREQ=YEARLY;BYDAY=-1SU;BYMONTH=3\nEND:DAYLIGHT\nEND:VTIMEZONE\n";
// The same zone as older programs write its rules: a Sunday among the last seven days of the month.
const char *kCustomDaysBlock =
    "BEGIN:VTIMEZONE\nTZID:Customized Time Zone\n"
    "BEGIN:STANDARD\nDTSTART:19700101T040000\nTZOFFSETFROM:+0300\nTZOFFSETTO:+0200\n"
    "RRULE:FREQ=YEARLY;BYMONTH=10;BYMONTHDAY=25,26,27,28,29,30,31;BYDAY=SU\nEND:STANDARD\n"
    "BEGIN:DAYLIGHT\nDTSTART:19700101T030000\nTZOFFSETFROM:+0200\nTZOFFSETTO:+0300\n"
    "RRULE:FREQ=YEARLY;BYMONTH=3;BYMONTHDAY=25,26,27,28,29,30,31;BYDAY=SU\nEND:DAYLIGHT\nEND:VTIMEZONE\n";
// What khal writes for an IANA name: the observance around the event only, no repeat rules.
const char *kKhalBerlinBlock =
    "BEGIN:VTIMEZONE\nTZID:Europe/Berlin\nBEGIN:STANDARD\nDTSTART:20261025T030000\n"
    "TZNAME:CET\nTZOFFSETFROM:+0200\nTZOFFSETTO:+0100\nEND:STANDARD\nEND:VTIMEZONE\n";
// A block whose rule repeats every hour: working its changes out would never end.
const char *kHourlyBlock =
    "BEGIN:VTIMEZONE\nTZID:Hourly\nBEGIN:STANDARD\nDTSTART:16010101T000000\n"
    "TZOFFSETFROM:+0100\nTZOFFSETTO:+0200\nRRULE:FREQ=HOURLY\nEND:STANDARD\nEND:VTIMEZONE\n";

struct ZonedStart
{
    const char *name;
    const char *blocks; // VTIMEZONE blocks before the event
    const char *tzid;   // as the DTSTART's TZID parameter holds it
    const char *face;   // the DTSTART value
    const char *utc;    // the moment it stands for, or "local" for the clock time as it stands
    const char *unresolved = "";
};

const ZonedStart kZonedStarts[] = {
    {"Windows name, summer time", kEasternBlock, kEastern, "20270325T100000", "2027-03-25T14:00:00Z"},
    {"Windows name, winter time", kEasternBlock, kEastern, "20270115T100000", "2027-01-15T15:00:00Z"},
    {"Windows name, hour the change skips", kEasternBlock, kEastern, "20270314T023000",
     "2027-03-14T07:30:00Z"},
    {"Windows name, hour the change repeats", kEasternBlock, kEastern, "20271107T013000",
     "2027-11-07T05:30:00Z"},
    {"Windows name, centuries ahead", kEasternBlock, kEastern, "29990701T100000", "2999-07-01T14:00:00Z"},
    {"customized zone, before its change", kCustomBlock, "Customized Time Zone", "20270325T100000",
     "2027-03-25T08:00:00Z"},
    {"customized zone, after its change", kCustomBlock, "Customized Time Zone", "20270401T100000",
     "2027-04-01T07:00:00Z"},
    {"customized zone by days of the month", kCustomDaysBlock, "Customized Time Zone", "20270401T100000",
     "2027-04-01T07:00:00Z"},
    {"IANA name with a block without rules", kKhalBerlinBlock, "Europe/Berlin", "20270701T100000",
     "2027-07-01T08:00:00Z"},
    {"Windows zone id without a block", "", "Eastern Standard Time", "20270325T100000",
     "2027-03-25T14:00:00Z"},
    {"unknown name without a block", "", "Mars/Olympus", "20270325T100000", "local", "Mars/Olympus"},
    {"block that repeats every hour", kHourlyBlock, "Hourly", "20270325T100000", "local", "Hourly"},
};

} // namespace

TEST(AppointmentRead, ZonesComeFromTheNameTheFilesOwnBlockOrTheWindowsName)
{
    for (const ZonedStart &z : kZonedStarts) {
        SCOPED_TRACE(z.name);
        const QByteArray data = crlf(QByteArray("BEGIN:VCALENDAR\nVERSION:2.0\nPRODID:x\n") + z.blocks +
                                     "BEGIN:VEVENT\nUID:z\nDTSTAMP:20240101T000000Z\nDTSTART;TZID=" + z.tzid +
                                     ':' + z.face + "\nDURATION:PT1H\nEND:VEVENT\nEND:VCALENDAR\n");
        std::shared_ptr<AppointmentItem> a;
        ASSERT_NO_THROW(a = AppointmentItem::fromData(data));
        const QDateTime face =
            QDateTime::fromString(QString::fromLatin1(z.face), QStringLiteral("yyyyMMdd'T'HHmmss"));
        const QDateTime want = QByteArray(z.utc) == "local"
                                   ? localMoment(face.date(), face.time())
                                   : QDateTime::fromString(QString::fromLatin1(z.utc), Qt::ISODate);
        EXPECT_EQ(a->start(), want) << a->start().toUTC().toString(Qt::ISODate).toStdString();
        EXPECT_EQ(a->end(), want.addSecs(3600));
        EXPECT_EQ(a->unresolvedZone(), QString::fromLatin1(z.unresolved));
    }
}

TEST(AppointmentRead, AllDayDurationAndReminders)
{
    auto allDay =
        AppointmentItem::fromData(event("DTSTART;VALUE=DATE:20240229\nDTEND;VALUE=DATE:20240301\n"));
    EXPECT_TRUE(allDay->AllDayEvent());
    EXPECT_EQ(allDay->start(), QDateTime(QDate(2024, 2, 29), QTime(0, 0)));

    auto withDuration =
        AppointmentItem::fromData(event("DTSTART:20240305T090000\nDURATION:PT1H30M\n"
                                        "BEGIN:VALARM\nACTION:EMAIL\nTRIGGER:-PT5M\nEND:VALARM\n"
                                        "BEGIN:VALARM\nACTION:DISPLAY\nDESCRIPTION:x\n"
                                        "TRIGGER:-PT1H15M\nEND:VALARM\n"));
    EXPECT_EQ(withDuration->end(), QDateTime(QDate(2024, 3, 5), QTime(10, 30)));
    EXPECT_TRUE(withDuration->ReminderSet());
    EXPECT_EQ(withDuration->ReminderMinutesBeforeStart(), 75);

    auto relatedEnd = AppointmentItem::fromData(event("DTSTART:20240305T090000\nDTEND:20240305T100000\n"
                                                      "BEGIN:VALARM\nACTION:DISPLAY\nDESCRIPTION:x\n"
                                                      "TRIGGER;RELATED=END:-PT90M\nEND:VALARM\n"));
    EXPECT_EQ(relatedEnd->ReminderMinutesBeforeStart(), 30);

    auto absolute =
        AppointmentItem::fromData(event("DTSTART:20240305T090000\nBEGIN:VALARM\nACTION:DISPLAY\n"
                                        "DESCRIPTION:x\nTRIGGER;VALUE=DATE-TIME:20240305T080000Z\n"
                                        "END:VALARM\n"));
    EXPECT_FALSE(absolute->ReminderSet());
}

TEST(AppointmentRead, RecurringMasterWithExceptionsIsOneItem)
{
    QByteArray data =
        crlf("BEGIN:VCALENDAR\nVERSION:2.0\nPRODID:x\n"
             "BEGIN:VEVENT\nUID:r\nRECURRENCE-ID:20240108T090000\nDTSTART:20240108T110000\n"
             "SUMMARY:moved\nEND:VEVENT\n"
             "BEGIN:VEVENT\nUID:r\nDTSTART:20240101T090000\nRRULE:FREQ=WEEKLY;UNTIL=20241231T235959\n"
             "SUMMARY:Weekly\nEND:VEVENT\nEND:VCALENDAR\n");
    auto a = AppointmentItem::fromData(data);
    EXPECT_EQ(a->subject(), "Weekly");
    EXPECT_EQ(a->GetRecurrencePattern().RecurrenceType(), RecursWeekly);
    EXPECT_EQ(a->GetRecurrencePattern().PatternEndDate(), QDate(2024, 12, 31));
}

TEST(AppointmentRead, MalformedFilesAreRefused)
{
    EXPECT_EQ(
        refusedNumber(crlf("BEGIN:VCALENDAR\nVERSION:2.0\nBEGIN:VTODO\nUID:t\nEND:VTODO\nEND:VCALENDAR\n")),
        ErrItemRefused);
    EXPECT_EQ(refusedNumber(event("SUMMARY:no start\n")), ErrItemRefused);
    EXPECT_EQ(refusedNumber(event("DTSTART:20241345T250000\n")), ErrItemRefused);
    EXPECT_EQ(refusedNumber(event("DTSTART:20240101T100000\n").left(60)), ErrItemRefused);
    EXPECT_EQ(refusedNumber(QByteArray("\x89PNG\r\n\x1a\n\0\0\0", 12)), ErrItemRefused);
    EXPECT_EQ(
        refusedNumber(crlf("BEGIN:VCALENDAR\nBEGIN:VEVENT\nUID:a\nDTSTART:20240101T100000\nEND:VEVENT\n"
                           "BEGIN:VEVENT\nUID:b\nDTSTART:20240101T100000\nEND:VEVENT\nEND:VCALENDAR\n")),
        ErrItemRefused);
}

// Files whose BEGIN and END lines do not pair up: refused, or read with the event the parser found and
// never with one event's blanks put in front of another's title.
namespace {

struct UnbalancedFile
{
    const char *name;
    const char *lines;   // LF-separated
    const char *subject; // of the event read, or nullptr when the file is refused
};

const UnbalancedFile kUnbalanced[] = {
    {"more ends than begins, then text",
     "BEGIN:VCALENDAR\nVERSION:2.0\nPRODID:-//x//EN\nEND:VALARM\nEND:VALARM\nDESCRIPTION: x\n"
     "END:VCALENDAR\n",
     nullptr},
    {"stray END:VEVENT before the event",
     "BEGIN:VCALENDAR\nVERSION:2.0\nPRODID:x\nEND:VEVENT\nBEGIN:VEVENT\nUID:a\nDTSTART:20270101T100000\n"
     "SUMMARY:  Pad\nEND:VEVENT\nEND:VCALENDAR\n",
     nullptr},
    {"stray END:VEVENT after the event",
     "BEGIN:VCALENDAR\nVERSION:2.0\nPRODID:x\nBEGIN:VEVENT\nUID:a\nDTSTART:20270101T100000\n"
     "SUMMARY:  Pad\nEND:VEVENT\nEND:VEVENT\nEND:VCALENDAR\n",
     "  Pad"},
    {"END:VCALENDAR twice",
     "BEGIN:VCALENDAR\nVERSION:2.0\nPRODID:x\nBEGIN:VEVENT\nUID:a\nDTSTART:20270101T100000\n"
     "SUMMARY:  Pad\nEND:VEVENT\nEND:VCALENDAR\nEND:VCALENDAR\n",
     "  Pad"},
    {"stray END:VALARM inside the event, before its title and end",
     "BEGIN:VCALENDAR\nVERSION:2.0\nPRODID:x\nBEGIN:VEVENT\nUID:a\nDTSTART:20270101T100000\n"
     "END:VALARM\nSUMMARY:  Pad\nDTEND:20270101T110000\nEND:VEVENT\nEND:VCALENDAR\n",
     nullptr},
    {"stray END:VALARM inside the event, folded and in lower case",
     "BEGIN:VCALENDAR\nVERSION:2.0\nPRODID:x\nBEGIN:VEVENT\nUID:a\nDTSTART:20270101T100000\n"
     "end:v\n alarm\nSUMMARY:  Pad\nEND:VEVENT\nEND:VCALENDAR\n",
     nullptr},
    {"stray END:VEVENT inside an alarm, before the event's title",
     "BEGIN:VCALENDAR\nVERSION:2.0\nPRODID:x\nBEGIN:VEVENT\nUID:a\nDTSTART:20270101T100000\n"
     "BEGIN:VALARM\nACTION:DISPLAY\nEND:VEVENT\nTRIGGER:-PT5M\nEND:VALARM\nSUMMARY:  Pad\nEND:VEVENT\n"
     "END:VCALENDAR\n",
     nullptr},
    {"a property after the calendar ended twice",
     "BEGIN:VCALENDAR\nVERSION:2.0\nPRODID:x\nBEGIN:VEVENT\nUID:a\nDTSTART:20270101T100000\n"
     "SUMMARY:  Pad\nEND:VEVENT\nEND:VCALENDAR\nEND:VCALENDAR\nX-A:b\n",
     nullptr},
    {"stray END:VEVENT after the calendar",
     "BEGIN:VCALENDAR\nVERSION:2.0\nPRODID:x\nBEGIN:VEVENT\nUID:a\nDTSTART:20270101T100000\n"
     "SUMMARY:  Pad\nEND:VEVENT\nEND:VCALENDAR\nEND:VEVENT\n",
     "  Pad"},
    {"the ends of an alarm and its event swapped",
     "BEGIN:VCALENDAR\nVERSION:2.0\nPRODID:x\nBEGIN:VEVENT\nUID:a\nDTSTART:20270101T100000\n"
     "SUMMARY:  Pad\nBEGIN:VALARM\nACTION:DISPLAY\nTRIGGER:-PT5M\nEND:VEVENT\nEND:VALARM\nEND:VCALENDAR\n",
     "  Pad"},
    {"ends in lower case, folded and with blanks",
     "BEGIN:VCALENDAR\nVERSION:2.0\nPRODID:x\nBEGIN:VEVENT\nUID:a\nDTSTART:20270101T100000\n"
     "SUMMARY:  Pad\nBEGIN:VALARM\nACTION:DISPLAY\nTRIGGER:-PT5M\nend:valarm \nEND:VEV\n ENT\n"
     "DESCRIPTION:after\nEND:VCALENDAR\n",
     "  Pad"},
    {"BEGIN:VALARM without END",
     "BEGIN:VCALENDAR\nVERSION:2.0\nPRODID:x\nBEGIN:VEVENT\nUID:a\nDTSTART:20270101T100000\n"
     "SUMMARY:  Pad\nBEGIN:VALARM\nEND:VEVENT\nEND:VCALENDAR\n",
     nullptr},
    {"BEGIN:VEVENT without END",
     "BEGIN:VCALENDAR\nVERSION:2.0\nPRODID:x\nBEGIN:VEVENT\nUID:a\nDTSTART:20270101T100000\n"
     "SUMMARY:  Pad\nEND:VCALENDAR\n",
     nullptr},
    {"an event inside an exception, before its series",
     "BEGIN:VCALENDAR\nVERSION:2.0\nPRODID:x\nBEGIN:VEVENT\nUID:r\nRECURRENCE-ID:20240108T090000\n"
     "DTSTART:20240108T110000\nSUMMARY:Moved\nBEGIN:VEVENT\nUID:r\nDTSTART:20240109T110000\n"
     "SUMMARY:  Inner\nEND:VEVENT\nEND:VEVENT\nBEGIN:VEVENT\nUID:r\nDTSTART:20240101T090000\n"
     "RRULE:FREQ=WEEKLY\nSUMMARY:Weekly\nEND:VEVENT\nEND:VCALENDAR\n",
     "Weekly"},
};

} // namespace

TEST(AppointmentRead, UnbalancedFilesAreRefusedOrReadWithoutBlanksInTheWrongPlace)
{
    for (const UnbalancedFile &f : kUnbalanced) {
        SCOPED_TRACE(f.name);
        const QByteArray data = crlf(f.lines);
        if (!f.subject) {
            EXPECT_EQ(refusedNumber(data), ErrItemRefused);
            continue;
        }
        std::shared_ptr<AppointmentItem> a;
        ASSERT_NO_THROW(a = AppointmentItem::fromData(data));
        EXPECT_EQ(a->subject(), QString::fromUtf8(f.subject));
    }
}

TEST(AppointmentRead, HostileShapesAreRefusedBeforeTheParserSeesThem)
{
    // Nesting that would exhaust the stack, a line the parser needs seconds for, too many properties,
    // and a file over the size limit.
    QByteArray deep = "BEGIN:VCALENDAR\r\n";
    for (int i = 0; i < 200000; ++i)
        deep += "BEGIN:X\r\n";
    EXPECT_EQ(refusedNumber(deep + "END:VCALENDAR\r\n"), ErrItemRefused);
    // Folded or in another case, a BEGIN still counts.
    QByteArray folded = "BEGIN:VCALENDAR\r\n";
    for (int i = 0; i < 40; ++i)
        folded += "beg\r\n in;x=1:X\r\n";
    EXPECT_EQ(refusedNumber(folded + "END:VCALENDAR\r\n"), ErrItemRefused);
    EXPECT_EQ(refusedNumber(event(
                  ("DTSTART:20240101T100000\nDESCRIPTION:" + QByteArray(1 << 20, 'a') + "\n").constData())),
              ErrItemRefused);
    EXPECT_EQ(refusedNumber(
                  event(("DTSTART:20240101T100000\n" + QByteArray("X-A:b\n").repeated(60000)).constData())),
              ErrItemRefused);
    EXPECT_EQ(refusedNumber(event(("DTSTART:20240101T100000\nDESCRIPTION:" +
                                   QByteArray("a\n b").repeated(3 * 1024 * 1024) + "\n")
                                      .constData())),
              ErrItemRefused);
    // The same long text folded, as clients write it, is read.
    const auto ok = AppointmentItem::fromData(
        event(("DTSTART:20240101T100000\nDESCRIPTION:" + QByteArray("aaaaaaaa\n b").repeated(100000) + "\n")
                  .constData()));
    EXPECT_EQ(ok->body().size(), 900000);
}

TEST(AppointmentWrite, BirthdaySeriesWithReminderAsCalendarToolsExpect)
{
    auto a = AppointmentItem::createNew();
    RecurrencePattern &p = a->GetRecurrencePattern();
    p.setRecurrenceType(RecursYearly);
    p.setPatternStartDate(QDate(2004, 5, 5));
    p.setPatternEndDate(QDate(2222, 12, 21));
    a->setSubject(QStringLiteral("Birthday: Anna, \"Ann\" Lee; née Straße"));
    a->setStart(QDateTime(QDate(2004, 5, 5), QTime(8, 0)));
    a->setEnd(QDateTime(QDate(2004, 5, 5), QTime(8, 30)));
    a->setReminderSet(true);
    a->setReminderMinutesBeforeStart(45);
    a->setBody(QStringLiteral("line one\nline two"));
    const QByteArray text = a->fileData();
    EXPECT_TRUE(text.contains("DTSTART:20040505T080000\r\n")) << text.constData();
    EXPECT_TRUE(text.contains("DTEND:20040505T083000\r\n"));
    EXPECT_TRUE(text.contains("RRULE:FREQ=YEARLY;UNTIL=22221221T235959\r\n"));
    EXPECT_TRUE(text.contains("ACTION:DISPLAY\r\n"));
    EXPECT_TRUE(text.contains("TRIGGER:-PT45M\r\n"));
    EXPECT_TRUE(text.contains("\r\nDTSTAMP:"));
    EXPECT_TRUE(text.contains("\r\nPRODID:"));
    EXPECT_FALSE(text.contains("TZID"));

    auto back = AppointmentItem::fromData(text);
    EXPECT_EQ(back->subject(), a->subject());
    EXPECT_EQ(back->body(), "line one\nline two");
    EXPECT_EQ(back->start(), QDateTime(QDate(2004, 5, 5), QTime(8, 0)));
    EXPECT_EQ(back->end(), QDateTime(QDate(2004, 5, 5), QTime(8, 30)));
    EXPECT_TRUE(back->ReminderSet());
    EXPECT_EQ(back->ReminderMinutesBeforeStart(), 45);
    EXPECT_EQ(back->GetRecurrencePattern().RecurrenceType(), RecursYearly);
    EXPECT_EQ(back->GetRecurrencePattern().PatternEndDate(), QDate(2222, 12, 21));
}

TEST(AppointmentWrite, EndIsExplicitNeverBeforeStartAndOtherAlarmsStay)
{
    auto a = AppointmentItem::fromData(event("DTSTART:20240305T090000\nX-KEEP;X-P=1:yes\n"
                                             "BEGIN:VALARM\nACTION:EMAIL\nSUMMARY:s\nDESCRIPTION:d\n"
                                             "ATTENDEE:mailto:a@b\nTRIGGER:-PT5M\nEND:VALARM\n"));
    a->setEnd(QDateTime(QDate(2024, 3, 5), QTime(8, 0)));
    a->setReminderSet(true);
    a->setReminderSet(false);
    const QByteArray text = a->fileData();
    EXPECT_TRUE(text.contains("DTEND:20240305T090000\r\n")) << text.constData();
    EXPECT_TRUE(text.contains("X-KEEP;X-P=1:yes\r\n"));
    EXPECT_TRUE(text.contains("ACTION:EMAIL\r\n"));
    EXPECT_FALSE(text.contains("ACTION:DISPLAY"));
}

TEST(AppointmentWrite, LongUtf8LinesAreFoldedWithoutSplittingCharacters)
{
    auto a = AppointmentItem::createNew();
    a->setStart(QDateTime(QDate(2024, 1, 1), QTime(1, 0)));
    a->setSubject(QString(100, QChar(0x00E9)) + QString(50, QChar(0x4E2D)));
    const QByteArray text = a->fileData();
    for (QByteArray line : text.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        EXPECT_LE(line.size(), 75);
        const QByteArray content = line.startsWith(' ') ? line.mid(1) : line;
        EXPECT_EQ(QString::fromUtf8(content).toUtf8(), content);
    }
    EXPECT_EQ(AppointmentItem::fromData(text)->subject(), a->subject());
}
