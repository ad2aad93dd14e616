// The contents file: what it accepts, what it refuses (with the line), and that a dump loads back
// as the same handset.
#include "phonesim/ContentsFile.h"
#include "SimTestHelpers.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace orvia::phonesim;
using orvia::phonesim::test::answer;

namespace {

const char *kSample = R"(# a K310 with a locked SIM
model=K310
sim-ready=no
SM=100
entry=SM,1,"+4915112345678",145,"Anna",0
entry=ME,12,"anna@example.org",,"Anna \\ B",3
event=3,1,2026-12-09 08:45,1,,"09:00 Dentist, early"
)";

TEST(ContentsFile, ParsesEveryKey)
{
    const ContentsResult r = parseContents(QString::fromUtf8(kSample));
    ASSERT_TRUE(r.contents) << r.error.toStdString();
    const HandsetContents &c = *r.contents;
    EXPECT_EQ(c.model, QStringLiteral("K310"));
    EXPECT_FALSE(c.simReady);
    EXPECT_EQ(c.sim.capacity, 100);
    EXPECT_EQ(c.me.capacity, 1000); // the model's default
    EXPECT_EQ(c.sim.entries.at(1),
              (PhonebookEntry{QStringLiteral("+4915112345678"), 145, QStringLiteral("Anna"), 0}));
    EXPECT_EQ(c.me.entries.at(12).name, QStringLiteral("Anna \\ B"));
    EXPECT_FALSE(c.me.entries.at(12).type.has_value());
    EXPECT_EQ(c.calendar.at(3).text, QStringLiteral("09:00 Dentist, early"));
    EXPECT_EQ(c.calendar.at(3).when, QDateTime(QDate(2026, 12, 9), QTime(8, 45)));
}

TEST(ContentsFile, DumpLoadsBackUnchangedAfterWrites)
{
    PhoneSim sim(*parseContents(QString::fromUtf8(kSample)).contents);
    sim.contents().simReady = true;
    answer(sim, "AT+CPBW=2,\"030\",129,\"Bert\",2");
    answer(sim, "at+schw=0,01,01,2027,00,30,12,0,\"Lunch\"");
    const QString dump = formatContents(sim.contents());
    const ContentsResult again = parseContents(dump);
    ASSERT_TRUE(again.contents) << again.error.toStdString();
    EXPECT_EQ(*again.contents, sim.contents());
    EXPECT_EQ(formatContents(*again.contents), dump);

    HandsetContents tarvex = HandsetContents::forModel(QStringLiteral("H280X"));
    tarvex.calendar[0] = {4, QDateTime(QDate(2026, 5, 1), QTime(0, 10)), true, QTime(23, 50),
                          QStringLiteral("B-day")};
    EXPECT_EQ(*parseContents(formatContents(tarvex)).contents, tarvex);
}

TEST(ContentsFile, RefusesBadLinesNamingTheLine)
{
    struct Bad
    {
        const char *text;
        const char *where;
    };
    const Bad cases[] = {
        {"model=X1", "line 1"},
        {"\n\nentry=SM,1,\"1\",129", "line 3"},
        {"entry=SM,1,\"1\",129,\"unterminated", "line 1"},
        {"entry=SM,0,\"1\",129,\"A\"", "line 1"},
        {"entry=SM,1,\"1\",129,\"A\"\nentry=SM,1,\"2\",129,\"B\"", "line 2"},
        {"entry=SM,1,\"1\",129,\"A\\\"quote\"", "line 1"},
        {"entry=XX,1,\"1\",129,\"A\"", "line 1"},
        {"event=1,1,2026-13-01 10:00,0,,\"x\"", "line 1"},
        {"event=1,9,2026-12-01 10:00,0,,\"x\"", "line 1"},
        {"event=1,1,2026-12-01 10:00,1,25:00,\"x\"", "line 1"},
        {"SM=0", "line 1"},
        {"sim-ready=maybe", "line 1"},
        {"no equals sign", "line 1"},
        {"colour=blue", "line 1"},
        {"SM=2\nentry=SM,3,\"1\",129,\"A\"", "capacity"},
        {"model=G170\nevent=50,1,2026-12-01 10:00,0,,\"x\"", "outside"},
    };
    for (const Bad &b : cases) {
        const ContentsResult r = parseContents(QString::fromUtf8(b.text));
        EXPECT_FALSE(r.contents) << b.text;
        EXPECT_TRUE(r.error.contains(QLatin1String(b.where))) << b.text << " -> " << r.error.toStdString();
    }
}

TEST(ContentsFile, SaveIsAtomicAndLoadReportsMissingFiles)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("dump.txt"));
    HandsetContents c = HandsetContents::forModel(QStringLiteral("D240"));
    c.me.entries[7] = {QStringLiteral("555"), 129, QStringLiteral("Z\u00fcrich"), 0};
    QString error;
    ASSERT_TRUE(saveContentsFile(path, c, &error)) << error.toStdString();
    const ContentsResult r = loadContentsFile(path);
    ASSERT_TRUE(r.contents);
    EXPECT_EQ(*r.contents, c);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("dump.txt")});

    EXPECT_FALSE(loadContentsFile(dir.filePath(QStringLiteral("missing.txt"))).contents);
    EXPECT_FALSE(saveContentsFile(dir.filePath(QStringLiteral("no/such/dir/x.txt")), c, &error));
    EXPECT_FALSE(error.isEmpty());
}

} // namespace
