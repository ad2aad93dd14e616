// Appointments: reading what calendar tools write, and writing what they read.
#include "PimTestFolder.h"
#include "platform/RuntimeError.h"
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
