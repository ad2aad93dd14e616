// The pure parts of the drivers: framing, model table, command composers and reply parsers.
#include "endpoints/AtCommands.h"
#include "endpoints/AtFraming.h"
#include "endpoints/CalendarReplies.h"
#include "endpoints/PhoneModels.h"
#include "endpoints/PhonebookReplies.h"
#include "platform/RuntimeError.h"

#include <QLocale>
#include <gtest/gtest.h>

using namespace orvia;

namespace {
QStringList lines(std::initializer_list<const char *> l)
{
    QStringList out{QString()};
    for (const char *s : l)
        out << QString::fromUtf8(s);
    return out;
}
} // namespace

TEST(Framing, ClassifiesReplies)
{
    EXPECT_EQ(classifyReply(QString()), ReplyStatus::Incomplete);
    EXPECT_EQ(classifyReply(QStringLiteral("AT+GMM\r\r\nK110\r\n\r\nOK")), ReplyStatus::Incomplete);
    EXPECT_EQ(classifyReply(QStringLiteral("AT+GMM\r\r\nK110\r\n\r\nOK\r\n")), ReplyStatus::Complete);
    EXPECT_EQ(classifyReply(QStringLiteral("AT+X\r\r\nERROR\r\n")), ReplyStatus::Error);
    // OK wins over ERROR anywhere in the buffer.
    EXPECT_EQ(classifyReply(QStringLiteral("\r\nERROR\r\n\r\nOK\r\n")), ReplyStatus::Complete);
    // A handset's error with a reason ends the reply too, once its line is complete.
    EXPECT_EQ(classifyReply(QStringLiteral("AT+CPBS=\"SM\"\r\r\n+CME ERROR: 11\r\n")), ReplyStatus::Error);
    EXPECT_EQ(classifyReply(QStringLiteral("AT+CPBS=\"SM\"\r\r\n+CME ERROR: 1")), ReplyStatus::Incomplete);
    // "OK" or "ERROR" inside a line is no final line.
    EXPECT_EQ(classifyReply(QStringLiteral("+CPBR: 1,\"1\",129,\"OK\"\r\n")), ReplyStatus::Incomplete);
    EXPECT_EQ(classifyReply(QStringLiteral("+CPBR: 1,\"1\",129,\"ERRORS\"\r\n")), ReplyStatus::Incomplete);
}

TEST(Framing, TextAfterColon)
{
    EXPECT_EQ(textAfterColon(QStringLiteral("+SCHL: 1,2")), QStringLiteral(" 1,2"));
    EXPECT_EQ(textAfterColon(QStringLiteral("ERROR")), QStringLiteral("ERROR"));
}

TEST(Models, TableAndRecognition)
{
    struct Row
    {
        const char *name;
        int email, nameLen, body, cap;
        bool ext;
    };
    for (const Row &r : {Row{"K110", 30, 18, 40, 30, true}, Row{"K310", 30, 18, 40, 30, true},
                         Row{"M230", 30, 20, 40, 30, true}, Row{"L420", 30, 20, 40, 30, true},
                         Row{"D240", 0, 20, 40, 24, false}, Row{"Tarvex", 0, 14, 28, 50, false}}) {
        const auto m = modelLimits(QLatin1String(r.name));
        ASSERT_TRUE(m) << r.name;
        EXPECT_EQ(m->emailLen, r.email) << r.name;
        EXPECT_EQ(m->nameLen, r.nameLen) << r.name;
        EXPECT_EQ(m->calBodyLen, r.body) << r.name;
        EXPECT_EQ(m->calCapacity, r.cap) << r.name;
        EXPECT_EQ(m->extendedPhonebook, r.ext) << r.name;
    }
    EXPECT_FALSE(modelLimits(QString()));
    EXPECT_FALSE(modelLimits(QStringLiteral("k110")));
    EXPECT_TRUE(hasMemoryDigit(QStringLiteral("Tarvex")));
    for (const char *other : {"K110", "D240", "G170", "Other", ""})
        EXPECT_FALSE(hasMemoryDigit(QLatin1String(other))) << other;

    // Search order: K110 before D240 before M230 before K310 before L420 before the family word.
    EXPECT_EQ(velmoraModelIn(QStringLiteral("L420 K310")), QStringLiteral("K310"));
    EXPECT_EQ(velmoraModelIn(QStringLiteral("Tarvex K110")), QStringLiteral("K110"));
    EXPECT_EQ(velmoraModelIn(QStringLiteral("Tarvex G170")), QStringLiteral("Tarvex"));
    EXPECT_EQ(velmoraModelIn(QStringLiteral("k110")), QString());

    EXPECT_EQ(tarvexDescriptionOf(QStringLiteral("TX G170 v2")), QStringLiteral("G170"));
    EXPECT_EQ(tarvexDescriptionOf(QStringLiteral("QX_B-3")), QStringLiteral("F660"));
    EXPECT_EQ(tarvexDescriptionOf(QStringLiteral("F150")), QStringLiteral("H280X"));
    EXPECT_EQ(tarvexDescriptionOf(QStringLiteral("F550")), QStringLiteral("F550"));
    EXPECT_EQ(tarvexDescriptionOf(QStringLiteral(" Other 9 ")), QStringLiteral(" Other 9 "));

    for (int kind = 1; kind <= 4; ++kind)
        EXPECT_EQ(kindFromCategory(categoryFromKind(qint16(kind))), kind);
    EXPECT_EQ(kindFromCategory(7), 7);
}

TEST(Commands, PhonebookLines)
{
    EXPECT_EQ(selectMemoryCommand(QStringLiteral("SM")), QStringLiteral("AT+CPBS=\"SM\""));
    EXPECT_EQ(readEntryCommand(12), QStringLiteral("AT+CPBR=12"));

    EntryWrite e{
        QStringLiteral("Anna"), 5, QStringLiteral("ME"), QStringLiteral("+4915112345678"), 1, false, true};
    EXPECT_EQ(writeEntryCommand(e), QStringLiteral("AT+CPBW=5,\"+4915112345678\",145,\"Anna\",0"));
    e.typ = 4;
    e.data = QStringLiteral("anna@example.org");
    EXPECT_EQ(writeEntryCommand(e), QStringLiteral("AT+CPBW=5,\"anna@example.org\",,\"Anna\",3"));
    e.category = false;
    EXPECT_EQ(writeEntryCommand(e), QStringLiteral("AT+CPBW=5,\"anna@example.org\",,\"Anna\""));
    e = EntryWrite{QStringLiteral("Bo"), 2, QStringLiteral("SM"), QStringLiteral("0301234"), 3, true, false};
    EXPECT_EQ(writeEntryCommand(e), QStringLiteral("AT+CPBW=2,0,\"0301234\",129,\"Bo\""));
    e.memory = QStringLiteral("ME");
    EXPECT_EQ(writeEntryCommand(e), QStringLiteral("AT+CPBW=2,2,\"0301234\",129,\"Bo\""));
    e = EntryWrite{QStringLiteral("K"), 1, QStringLiteral("ME"), QStringLiteral("1"), 2, false, true};
    EXPECT_TRUE(writeEntryCommand(e).endsWith(QStringLiteral(",2")));
    e.typ = 3;
    EXPECT_TRUE(writeEntryCommand(e).endsWith(QStringLiteral(",1")));
}

TEST(Commands, QuotedTextsCannotBreakTheLine)
{
    EntryWrite e{
        QStringLiteral("Jo \"JJ\"\r\nX"), 1, QStringLiteral("ME"), QStringLiteral("12\"3"), 1, false, false};
    const QString cmd = writeEntryCommand(e);
    EXPECT_EQ(cmd, QStringLiteral("AT+CPBW=1,\"12'3\",129,\"Jo 'JJ'  X\""));
    EXPECT_EQ(cmd.count(QLatin1Char('"')), 4);

    VelmoraEventWrite v{QDateTime(QDate(2026, 5, 1), QTime(9, 0)), 0, false, QStringLiteral("a\"b"),
                        QStringLiteral("c\r\nd")};
    EXPECT_EQ(velmoraWriteEventCommand(v, 40),
              QStringLiteral("at+schw=0,01,05,2026,00,00,09,0,\"a b c  d\""));
    TarvexEventWrite t{
        1, 1, QDateTime(QDate(2026, 5, 1), QTime(9, 0)), 0, false, QStringLiteral("\"q\""), QString()};
    EXPECT_EQ(tarvexWriteEventCommand(t, 28), QStringLiteral("at+schw=1,1,0,2026,05,01,09,00,\" q  \""));
}

TEST(Commands, VelmoraCalendarWrites)
{
    // 09:00 with a 15-minute reminder: record moment 08:45, text led by the start time.
    VelmoraEventWrite e{QDateTime(QDate(2026, 12, 9), QTime(9, 0)), 15, true, QStringLiteral("Meeting"),
                        QString()};
    EXPECT_EQ(velmoraWriteEventCommand(e, 40),
              QStringLiteral("at+schw=0,09,12,2026,00,45,08,1,\"09:00 Meeting \""));
    // Reminder across midnight: the date fields are those of the reminder's day.
    e = VelmoraEventWrite{QDateTime(QDate(2027, 1, 1), QTime(0, 10)), 20, false, QStringLiteral("NY"),
                          QString()};
    EXPECT_EQ(velmoraWriteEventCommand(e, 40),
              QStringLiteral("at+schw=0,31,12,2026,00,50,23,0,\"00:10 NY \""));
    // The start time and its blank count towards the limit.
    e = VelmoraEventWrite{QDateTime(QDate(2026, 1, 2), QTime(7, 5)), 5, true, QStringLiteral("abcdefghij"),
                          QStringLiteral("xyz")};
    EXPECT_EQ(velmoraEventText(e, 10), QStringLiteral("07:05 abcd"));
    EXPECT_EQ(velmoraEventText(e, 0), QString());
    // A lead of a day or more is cut to just under a day, so the start reads back on its own day.
    e = VelmoraEventWrite{QDateTime(QDate(2026, 3, 10), QTime(9, 30)), 2 * 1440, true, QStringLiteral("D"),
                          QString()};
    EXPECT_EQ(velmoraWriteEventCommand(e, 40),
              QStringLiteral("at+schw=0,09,03,2026,00,31,09,1,\"09:30 D \""));
    {
        // The clocks go forward in between: the reminder still lies just under a day before on the clock.
        struct TzGuard
        {
            QByteArray saved = qgetenv("TZ");
            TzGuard() { qputenv("TZ", "Europe/Berlin"); }
            ~TzGuard() { saved.isNull() ? (void)qunsetenv("TZ") : (void)qputenv("TZ", saved); }
        } tz;
        e = VelmoraEventWrite{QDateTime(QDate(2026, 3, 29), QTime(9, 30)), 1440, true, QStringLiteral("D"),
                              QString()};
        EXPECT_EQ(velmoraWriteEventCommand(e, 40),
                  QStringLiteral("at+schw=0,28,03,2026,00,31,09,1,\"09:30 D \""));
        // A reminder whose face the change skips is still a face the handset holds: the lead is counted
        // on the face both ways, so it reads back as itself.
        e = VelmoraEventWrite{QDateTime(QDate(2026, 3, 29), QTime(3, 10)), 15, true, QStringLiteral("D"),
                              QString()};
        EXPECT_EQ(velmoraWriteEventCommand(e, 40),
                  QStringLiteral("at+schw=0,29,03,2026,00,55,02,1,\"03:10 D \""));
    }
    // A title that begins with a time gets the real start in front of it even without a lead.
    e = VelmoraEventWrite{QDateTime(QDate(2026, 3, 11), QTime(9, 0)), 0, true,
                          QStringLiteral("10:30 Standup"), QString()};
    EXPECT_EQ(velmoraWriteEventCommand(e, 40),
              QStringLiteral("at+schw=0,11,03,2026,00,00,09,1,\"09:00 10:30 Standup \""));
    EXPECT_EQ(deleteEventCommand(7), QStringLiteral("at+schd=7"));
    EXPECT_EQ(twoDigits(0), QStringLiteral("00"));
    EXPECT_EQ(twoDigits(123), QStringLiteral("123"));
}

TEST(Commands, TarvexCalendarWrites)
{
    TarvexEventWrite e{4,
                       3,
                       QDateTime(QDate(2026, 3, 7), QTime(10, 30)),
                       15,
                       true,
                       QStringLiteral("Call"),
                       QStringLiteral("Bob")};
    EXPECT_EQ(tarvexWriteEventCommand(e, 28),
              QStringLiteral("at+schw=4,3,1,2026,03,07,10,30,10,15,\"Call Bob\""));
    e.prerem = -1420;
    e.dstart = QDateTime(QDate(2026, 3, 7), QTime(0, 10));
    EXPECT_EQ(tarvexWriteEventCommand(e, 28),
              QStringLiteral("at+schw=4,3,1,2026,03,07,00,10,23,50,\"Call Bob\""));
    e.prerem = 0;
    EXPECT_EQ(tarvexWriteEventCommand(e, 28),
              QStringLiteral("at+schw=4,3,1,2026,03,07,00,10,00,10,\"Call Bob\""));
    e.alarm = false;
    e.prerem = 30;
    EXPECT_EQ(tarvexWriteEventCommand(e, 4), QStringLiteral("at+schw=4,3,0,2026,03,07,00,10,\"Call\""));
    EXPECT_EQ(readSlotCommand(49), QStringLiteral("at+schr=49"));
}

TEST(PhonebookParse, MemoryStatus)
{
    const auto st = parseMemoryStatus(
        lines({"AT+CPBS?", "", "+CPBS: \"SM\",3,250", "+CPBS: \"ME\", 10 ,1000", "", "OK"}));
    ASSERT_EQ(st.size(), 2);
    EXPECT_FALSE(st[0].handset);
    EXPECT_EQ(st[0].used, 3);
    EXPECT_EQ(st[0].total, 250);
    EXPECT_TRUE(st[1].handset);
    EXPECT_EQ(st[1].used, 10);
    EXPECT_EQ(st[1].total, 1000);
    // Missing counts and numbers that do not convert fail instead of yielding a value.
    EXPECT_THROW(parseMemoryStatus(lines({"AT+CPBS?", "+CPBS: \"SM\""})), RuntimeError);
    EXPECT_THROW(parseMemoryStatus(lines({"AT+CPBS?", "+CPBS: \"SM\",x,250"})), RuntimeError);
    EXPECT_THROW(parseMemoryStatus(lines({"AT+CPBS?", "+CPBS: \"SM\",1,99999"})), RuntimeError);
}

TEST(PhonebookParse, EntryLines)
{
    auto e = parsePhonebookLine(QStringLiteral("+CPBR: 1,\"+4915112345678\",145,\"Anna\""), true);
    EXPECT_EQ(e.location, 1);
    EXPECT_EQ(e.number, QStringLiteral("+4915112345678"));
    EXPECT_EQ(e.name, QStringLiteral("Anna"));
    EXPECT_EQ(e.typ, 1); // extended model, no category field: kind 1

    // Category digits on the extended models, commas inside the quoted name skipped.
    e = parsePhonebookLine(QStringLiteral("+CPBR: 17,\"0301\",129,\"Smith, John\",1"), true);
    EXPECT_EQ(e.name, QStringLiteral("Smith, John"));
    EXPECT_EQ(e.typ, 3);
    EXPECT_EQ(parsePhonebookLine(QStringLiteral("+CPBR: 2,\"1\",129,\"A\",2"), true).typ, 2);
    EXPECT_EQ(parsePhonebookLine(QStringLiteral("+CPBR: 2,\"a@b\",,\"A\",3"), true).typ, 4);
    EXPECT_EQ(parsePhonebookLine(QStringLiteral("+CPBR: 2,\"1\",129,\"A\",0"), true).typ, 1);
    EXPECT_EQ(parsePhonebookLine(QStringLiteral("+CPBR: 2,\"1\",129,\"A\",7"), true).typ, 7);
    EXPECT_EQ(parsePhonebookLine(QStringLiteral("+CPBR: 2, \"1\", 129, \"A\", 2"), true).typ, 2);
    EXPECT_EQ(parsePhonebookLine(QStringLiteral("+CPBR: 2,\"1\",129,\"A\","), true).typ, 1);
    // Without categories every number is kind 1.
    EXPECT_EQ(parsePhonebookLine(QStringLiteral("+CPBR: 2,\"1\",129,\"A\",1"), false).typ, 1);

    // A double quote inside the name stays in the name.
    e = parsePhonebookLine(QStringLiteral("+CPBR: 3,\"1\",129,\"Bob \"the\" Smith\",2"), true);
    EXPECT_EQ(e.name, QStringLiteral("Bob \"the\" Smith"));
    EXPECT_EQ(e.typ, 2);
    EXPECT_EQ(parsePhonebookLine(QStringLiteral("+CPBR: 3,\"\",129,\"\""), false).name, QString());

    const auto all = parsePhonebookEntries(
        lines({"AT+CPBR=1", "", "+CPBR: 1,\"1\",129,\"A\"", "+CPBR: 2,\"2\",129,\"B\"", "", "OK"}), false);
    ASSERT_EQ(all.size(), 2);
    EXPECT_EQ(all[1].name, QStringLiteral("B"));
    EXPECT_TRUE(parsePhonebookEntries(lines({"AT+CPBR=4", "", "OK"}), false).isEmpty());

    for (const char *bad :
         {"+CPBR: 1", "+CPBR: x,\"1\",129,\"A\"", "+CPBR: 1,\"1\",129,A", "+CPBR: 1,\"1\",129,\"A",
          "+CPBR 1,\"1\",129,\"A\"", "+CPBR: 70000,\"1\",129,\"A\""})
        EXPECT_THROW(parsePhonebookLine(QString::fromUtf8(bad), true), RuntimeError) << bad;
}

TEST(CalendarParse, VelmoraList)
{
    EXPECT_TRUE(parseVelmoraCalendarList(QString()).isEmpty());
    EXPECT_TRUE(parseVelmoraCalendarList(QStringLiteral("OK")).isEmpty());

    const auto ev = parseVelmoraCalendarList(QStringLiteral(
        " 1,0,09,12,2026,1,45,08,1,\"09:00 Meeting \",2,0,31,12,2026,2,50,23,0,\"00:10 New, year\","
        "3,0,01,01,2027,4,00,12,0,\"Lunch\""));
    ASSERT_EQ(ev.size(), 3);
    EXPECT_EQ(ev[0].location, 1);
    EXPECT_EQ(ev[0].dstart, QDateTime(QDate(2026, 12, 9), QTime(9, 0)));
    EXPECT_EQ(ev[0].prerem, 15);
    EXPECT_TRUE(ev[0].alarm);
    EXPECT_EQ(ev[0].title, QStringLiteral("Meeting "));
    EXPECT_FALSE(ev[0].indexMismatch);
    // Start time before the record moment: next day.
    EXPECT_EQ(ev[1].dstart, QDateTime(QDate(2027, 1, 1), QTime(0, 10)));
    EXPECT_EQ(ev[1].prerem, 20);
    EXPECT_EQ(ev[1].title, QStringLiteral("New, year"));
    EXPECT_EQ(ev[2].prerem, 0);
    EXPECT_EQ(ev[2].dstart, QDateTime(QDate(2027, 1, 1), QTime(12, 0)));
    EXPECT_TRUE(ev[2].indexMismatch);
    EXPECT_EQ(ev[2].typ, 1);

    // A one-digit hour is no start time.
    EXPECT_EQ(parseVelmoraCalendarList(QStringLiteral("1,0,01,01,2027,1,00,12,0,\"9:00 x\""))[0].title,
              QStringLiteral("9:00 x"));
    for (const char *bad :
         {"1,0,01,01,2027", "1,0,31,02,2027,1,00,12,0,\"x\"", "1,0,01,01,2027,1,00,12,0,\"x",
          "1,0,01,01,2027,1,99,12,0,\"x\"", "a,0,01,01,2027,1,00,12,0,\"x\""})
        EXPECT_THROW(parseVelmoraCalendarList(QString::fromUtf8(bad)), RuntimeError) << bad;
}

TEST(CalendarParse, TarvexEntry)
{
    EXPECT_FALSE(parseTarvexCalendarEntry(QStringLiteral("ERROR")));
    auto e = parseTarvexCalendarEntry(QStringLiteral(" 4,3,1,2026/03/07,10:30,10:15,\"Call Bob\""));
    ASSERT_TRUE(e);
    EXPECT_EQ(e->location, 4);
    EXPECT_EQ(e->typ, 3);
    EXPECT_TRUE(e->alarm);
    EXPECT_EQ(e->dstart, QDateTime(QDate(2026, 3, 7), QTime(10, 30)));
    EXPECT_EQ(e->prerem, 15);
    EXPECT_EQ(e->title, QStringLiteral("Call Bob"));

    e = parseTarvexCalendarEntry(QStringLiteral("5,1,1,2026/03/07,00:10,23:50,\"Late\""));
    EXPECT_EQ(e->prerem, 20);
    e = parseTarvexCalendarEntry(QStringLiteral("6,4,0,2026/03/07,08:00,\"Birthday, Ann\""));
    EXPECT_FALSE(e->alarm);
    EXPECT_EQ(e->prerem, 0);
    EXPECT_EQ(e->typ, 4);
    EXPECT_EQ(e->title, QStringLiteral("Birthday, Ann"));

    for (const char *bad : {"6,4,0,2026/13/07,08:00,\"x\"", "6,4,0,2026/03/07,25:00,\"x\"",
                            "6,4,1,2026/03/07,08:00", "6,4,0", "x,4,0,2026/03/07,08:00,\"x\""})
        EXPECT_THROW(parseTarvexCalendarEntry(QString::fromUtf8(bad)), RuntimeError) << bad;
}

// The handset's date and time forms do not follow the desktop's regional settings.
TEST(CalendarParse, TarvexFormsIgnoreTheLocale)
{
    const QLocale saved;
    for (const char *name : {"de_DE", "fr_FR", "en_US"}) {
        QLocale::setDefault(QLocale(QLatin1String(name)));
        EXPECT_EQ(tarvexDate(QStringLiteral("2026/03/07")), QDate(2026, 3, 7)) << name;
        EXPECT_EQ(tarvexDate(QStringLiteral("07.03.2026")), QDate(2026, 3, 7)) << name;
        EXPECT_EQ(tarvexDate(QStringLiteral("07/03/2026")), QDate(2026, 3, 7)) << name;
        EXPECT_EQ(tarvexTime(QStringLiteral("17:05")), QTime(17, 5)) << name;
        const auto e = parseTarvexCalendarEntry(QStringLiteral("1,1,1,2026/12/31,23:59,23:00,\"x\""));
        EXPECT_EQ(e->dstart, QDateTime(QDate(2026, 12, 31), QTime(23, 59))) << name;
        TarvexEventWrite w{1, 1, e->dstart, e->prerem, true, QStringLiteral("x"), QString()};
        EXPECT_EQ(tarvexWriteEventCommand(w, 28),
                  QStringLiteral("at+schw=1,1,1,2026,12,31,23,59,23,00,\"x \""))
            << name;
    }
    QLocale::setDefault(saved);
    EXPECT_THROW(tarvexTime(QStringLiteral("5 PM")), RuntimeError);
    EXPECT_THROW(tarvexDate(QStringLiteral("March 7")), RuntimeError);
}
