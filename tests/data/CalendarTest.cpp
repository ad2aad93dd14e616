#include "ExpectError.h"
#include "common/CalendarText.h"
#include "common/Globals.h"
#include "data/DBCalendar.h"

#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace orvia;

namespace {

QDateTime at(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s));
}

// Sets the default locale for one scope.
struct LocaleGuard
{
    explicit LocaleGuard(const QLocale &l) : saved(QLocale()) { QLocale::setDefault(l); }
    ~LocaleGuard() { QLocale::setDefault(saved); }
    QLocale saved;
};

// Runs each test under one regional setting and restores the default afterwards.
class CalendarTest : public ::testing::TestWithParam<QLocale::Language>
{
protected:
    void SetUp() override
    {
        resetGlobals();
        saved = QLocale();
        const QLocale::Language lang = GetParam();
        QLocale::setDefault(lang == QLocale::English ? QLocale(QLocale::English, QLocale::UnitedStates)
                                                     : QLocale(lang));
    }
    void TearDown() override { QLocale::setDefault(saved); }

    QLocale saved;
};

std::shared_ptr<DBCalendarItem> event(Operation op)
{
    auto e = std::make_shared<DBCalendarItem>();
    e->operation = op;
    return e;
}

} // namespace

TEST_P(CalendarTest, DateTimeTextRoundTripsExactly)
{
    const QDateTime values[] = {
        at(2024, 3, 9, 14, 5, 7),
        at(2024, 12, 31, 23, 59, 59),
        at(1999, 1, 1, 0, 0, 1),
        at(2030, 7, 4),
        at(1900, 2, 28, 12, 0, 0),
        at(2024, 6, 15, 0, 30, 0),
        zeroDateTime(),
        QDateTime(zeroDate(), QTime(9, 41, 3)),
    };
    for (const QDateTime &v : values) {
        const QString text = DateTimeToText(v);
        EXPECT_EQ(TextToDateTime(text), v) << text.toStdString();
    }
}

TEST_P(CalendarTest, MidnightGivesTheDateAloneAndTheZeroDayTheTimeAlone)
{
    const QLocale loc;
    const QString date = DateTimeToText(at(2024, 3, 9));
    EXPECT_TRUE(date.contains(QStringLiteral("2024"))) << date.toStdString();
    EXPECT_FALSE(date.contains(u':'));
    EXPECT_EQ(TextToDateTime(date), at(2024, 3, 9));

    const QString time = DateTimeToText(QDateTime(zeroDate(), QTime(10, 15, 30)));
    EXPECT_FALSE(time.contains(QStringLiteral("1899")));
    EXPECT_TRUE(time.contains(QStringLiteral("15"))) << time.toStdString();
    EXPECT_TRUE(time.contains(QStringLiteral("30"))) << time.toStdString();
}

TEST_P(CalendarTest, UnsetDateTimeIsWrittenAsTheZeroDateTime)
{
    EXPECT_EQ(TextToDateTime(DateTimeToText(QDateTime())), zeroDateTime());
    EXPECT_RUNTIME_ERROR(TextToDateTime(QString()), ErrTypeMismatch);
    EXPECT_RUNTIME_ERROR(TextToDateTime(QStringLiteral("tomorrow")), ErrTypeMismatch);
}

TEST_P(CalendarTest, RecordLineRoundTrip)
{
    DBCalendarItem e;
    e.location = 17;
    e.dstart = at(2024, 5, 1, 9, 30, 15);
    e.dend = zeroDateTime();
    e.alarm = true;
    e.prerem = -15;
    e.typ = EventKind::Meeting;
    e.title = QStringLiteral("Plan, \"Q3\" / review");
    e.body = QStringLiteral("line one\r\nline two");
    e.operation = Operation::Add;
    const QString line = e.GetDataText();
    EXPECT_TRUE(line.endsWith(QStringLiteral(",\"Plan/c /aQ3/a // review\",\"line one/rline two\",1\r\n")))
        << line.toStdString();

    DBCalendarItem back;
    back.SetDataText(line);
    EXPECT_EQ(back.location, 17);
    EXPECT_EQ(back.dstart, e.dstart);
    EXPECT_EQ(back.dend, e.dend);
    EXPECT_TRUE(back.alarm);
    EXPECT_EQ(back.prerem, -15);
    EXPECT_EQ(back.typ, EventKind::Meeting);
    EXPECT_EQ(back.title, e.title);
    EXPECT_EQ(back.body, e.body);
    EXPECT_EQ(back.operation, Operation::Add);
}

INSTANTIATE_TEST_SUITE_P(Locales, CalendarTest,
                         ::testing::Values(QLocale::German, QLocale::French, QLocale::English),
                         [](const auto &info) {
                             return QLocale::languageToString(info.param).toStdString();
                         });

TEST(CalendarRecordTest, DaylightSavingDatesRoundTrip)
{
    struct TzGuard
    {
        QByteArray saved = qgetenv("TZ");
        TzGuard() { qputenv("TZ", "Europe/Berlin"); }
        ~TzGuard() { saved.isNull() ? (void)qunsetenv("TZ") : (void)qputenv("TZ", saved); }
    } tz;
    ASSERT_EQ(at(2024, 7, 1).offsetFromUtc(), 7200);
    const LocaleGuard de(QLocale(QLocale::German, QLocale::Germany));
    for (const QDateTime &v : {at(2024, 7, 1, 12, 0, 1), at(2024, 10, 27, 2, 30, 0), at(2024, 3, 31, 3, 0, 0),
                               at(2024, 3, 31, 0, 0, 0)}) {
        DBCalendarItem e;
        e.dstart = v;
        DBCalendarItem back;
        back.SetDataText(e.GetDataText());
        EXPECT_EQ(back.dstart, v) << e.GetDataText().toStdString();
    }
}

TEST(CalendarRecordTest, AlarmAtMidnightWritesFlagAndDateOnly)
{
    const LocaleGuard de(QLocale(QLocale::German, QLocale::Germany));
    DBCalendarItem e;
    e.alarm = true;
    e.dstart = at(2024, 3, 9);
    EXPECT_EQ(e.GetDataText(), QStringLiteral("0,09.03.2024,00:00:00,1,0,0,\"\",\"\",0\r\n"));
}

TEST(CalendarRecordTest, SetDataTextFieldConversions)
{
    const LocaleGuard de(QLocale(QLocale::German, QLocale::Germany));
    DBCalendarItem e;
    e.SetDataText(QStringLiteral("3,01.02.2024 08:00:00,00:00:00,True,5,4,\"a\",\"\",0"));
    EXPECT_TRUE(e.alarm);
    EXPECT_EQ(e.dstart, at(2024, 2, 1, 8));
    EXPECT_EQ(e.dend, zeroDateTime());
    EXPECT_EQ(e.title, QStringLiteral("a"));
    EXPECT_EQ(e.body, QString());
    e.SetDataText(QStringLiteral("3,01.02.2024,00:00:00,False,5,4,\"a\",\"\",3"));
    EXPECT_FALSE(e.alarm);
    EXPECT_EQ(e.operation, Operation::Delete);
}

TEST(CalendarRecordTest, BadFieldsFailAndKeepEarlierFields)
{
    const LocaleGuard de(QLocale(QLocale::German, QLocale::Germany));
    DBCalendarItem e;
    EXPECT_RUNTIME_ERROR(e.SetDataText(QStringLiteral("9,not a date,00:00:00,0,0,1,\"\",\"\",0")),
                         ErrTypeMismatch);
    EXPECT_EQ(e.location, 9);
    EXPECT_RUNTIME_ERROR(e.SetDataText(QStringLiteral("1,01.02.2024,00:00:00,maybe,0,1,\"\",\"\",0")),
                         ErrTypeMismatch);
    EXPECT_RUNTIME_ERROR(e.SetDataText(QStringLiteral("1,01.02.2024,00:00:00,0,0,1,\"\",x,0")),
                         ErrInvalidArgument); // an unquoted one-character field
    EXPECT_RUNTIME_ERROR(e.SetDataText(QStringLiteral("1,01.02.2024,00:00:00,0,0,1,\"\"")),
                         ErrInvalidArgument);
    EXPECT_RUNTIME_ERROR(e.SetDataText(QStringLiteral("1,01.02.2024,00:00:00,0,99999999999,1,\"\",\"\",0")),
                         ErrOverflow);
    EXPECT_RUNTIME_ERROR(e.SetDataText(QStringLiteral("1,32.13.2024,00:00:00,0,0,1,\"\",\"\",0")),
                         ErrTypeMismatch);
}

TEST(CalendarStoreTest, CountsAndText)
{
    resetGlobals();
    DBCalendar cal;
    cal.name = QStringLiteral("cal");
    EXPECT_EQ(cal.count(), 0);
    EXPECT_EQ(cal.countOpAdd(), 0);
    EXPECT_EQ(cal.countToSend(), 0);
    EXPECT_EQ(cal.GetDataText(), QStringLiteral("cal,0\r\n"));
    for (Operation op : {Operation::None, Operation::Add, Operation::Delete})
        cal.AddItem(event(op));
    EXPECT_EQ(cal.countOpAdd(), 1);
    EXPECT_EQ(cal.countToSend(), 2);
    EXPECT_TRUE(cal.GetDataText().startsWith(QStringLiteral("cal,3\r\n")));
    EXPECT_EQ(cal.GetDataText().count(QStringLiteral("\r\n")), 4);
    cal.log();
}

TEST(CalendarStoreTest, GetItemBounds)
{
    resetGlobals();
    DBCalendar cal;
    cal.name = QStringLiteral("Calendar");
    EXPECT_RUNTIME_ERROR(cal.GetItem(0), ErrSubscript);
    cal.AddItem(event(Operation::Add));
    EXPECT_EQ(cal.GetItem(1), nullptr);
    EXPECT_EQ(globals().gLog.recentLines().constLast(), QStringLiteral("Calendararray seek ot of range"));
    EXPECT_RUNTIME_ERROR(cal.GetItem(-3), ErrSubscript);
}

TEST(CalendarStoreTest, AddArgumentOrderAndClone)
{
    DBCalendar cal;
    cal.name = QStringLiteral("Calendar");
    cal.add(2, at(2024, 1, 2, 3, 4, 5), zeroDateTime(), true, 10, EventKind::Birthday,
            QStringLiteral("title"), QStringLiteral("body"), Operation::Add);
    const auto e = cal.GetItem(0);
    EXPECT_EQ(e->typ, EventKind::Birthday);
    EXPECT_EQ(e->title, QStringLiteral("title"));
    EXPECT_EQ(e->body, QStringLiteral("body"));
    EXPECT_EQ(e->operation, Operation::Add);

    const LocaleGuard c(QLocale::c());
    const auto copy = cal.Clone();
    EXPECT_EQ(copy->name, QString());
    ASSERT_EQ(copy->count(), 1);
    EXPECT_NE(copy->GetItem(0).get(), e.get());
    EXPECT_EQ(copy->GetItem(0)->GetDataText(), e->GetDataText());
    copy->GetItem(0)->title = QStringLiteral("changed");
    EXPECT_EQ(e->title, QStringLiteral("title"));
}

TEST(CalendarStoreTest, SaveLoadRoundTripAndAtomicFailure)
{
    const LocaleGuard fr(QLocale(QLocale::French, QLocale::France));
    QTemporaryDir dir;
    DBCalendar cal;
    cal.add(1, at(2024, 8, 1, 18, 0, 0), at(2024, 8, 1, 19, 0, 0), false, 0, EventKind::Plain,
            QStringLiteral("Caf\u00E9, \"x\""), QStringLiteral("b\r\nc"), Operation::None);
    cal.add(2, at(2024, 8, 2), zeroDateTime(), true, 30, EventKind::Birthday, QString(), QString(),
            Operation::Add);
    const QString file = dir.filePath(QStringLiteral("cal.txt"));
    cal.Save(file);
    EXPECT_EQ(cal.name, QStringLiteral("Calendar"));

    DBCalendar back;
    back.Load(file);
    EXPECT_EQ(back.GetDataText(), cal.GetDataText());

    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("Calendar,2\r\n1,01/08/2024,00:00:00,0,0,1,\"a\",\"b\",0\r\nbroken line\r\n");
    f.close();
    EXPECT_RUNTIME_ERROR(back.Load(file), ErrInvalidArgument);
    EXPECT_EQ(back.count(), 2);
    EXPECT_EQ(back.GetItem(0)->title, cal.GetItem(0)->title);
}

TEST(CalendarHelpersTest, Format2)
{
    for (auto [v, text] :
         {std::pair<qint16, const char *>{0, "00"}, {7, "07"}, {45, "45"}, {123, "123"}, {-3, "-3"}}) {
        qint16 i = v;
        EXPECT_EQ(Format2(i), QString::fromLatin1(text));
    }
}

TEST(CalendarHelpersTest, SameMinuteIgnoresSeconds)
{
    QDateTime a = at(2024, 3, 9, 10, 15, 5), b = at(2024, 3, 9, 10, 15, 59);
    EXPECT_TRUE(SameMinute(a, b));
    QDateTime c = at(2024, 3, 9, 10, 16);
    EXPECT_FALSE(SameMinute(a, c));
    QDateTime d = at(2024, 3, 10, 10, 15, 5);
    EXPECT_FALSE(SameMinute(a, d));
    QDateTime e = at(2023, 3, 9, 10, 15, 5);
    EXPECT_FALSE(SameMinute(a, e));
}

TEST(CalendarHelpersTest, NewRecordHoldsTheZeroDateTime)
{
    DBCalendarItem e;
    EXPECT_EQ(e.dstart, zeroDateTime());
    EXPECT_EQ(e.dend, QDateTime(QDate(1899, 12, 30), QTime(0, 0)));
    EXPECT_FALSE(e.alarm);
}
