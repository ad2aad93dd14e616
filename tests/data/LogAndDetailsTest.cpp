#include "common/Details.h"
#include "common/Globals.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace orvia;

TEST(MrLogTest, CreationWritesOneBanner)
{
    MrLog log;
    const QStringList lines = log.recentLines();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(
        lines[0].startsWith(QStringLiteral("\r\n\r\n############# START OF SESSION ###############\r\n"
                                           "Log started ")));
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral("\r\n\r\n")));
    EXPECT_FALSE(log.errorflag);
}

TEST(MrLogTest, LineTexts)
{
    MrLog log;
    log.log(QStringLiteral("plain"), true);
    log.StartCriticalSection(QStringLiteral("Mrp docontacts"));
    log.DumpCriticalSection(QStringLiteral("FSM error handler state 4"));
    const QStringList lines = log.recentLines();
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[1], QStringLiteral("plain"));
    EXPECT_EQ(lines[2], QStringLiteral("Start of critical section Mrp docontacts"));
    EXPECT_EQ(lines[3], QStringLiteral("Dump critical section: FSM error handler state 4\r\n"));
}

TEST(MrLogTest, KeepsOnlyTheNewestLines)
{
    MrLog log;
    for (int i = 0; i < MrLog::kKeptLines + 10; ++i)
        log.log(QString::number(i));
    const QStringList lines = log.recentLines();
    EXPECT_EQ(lines.size(), MrLog::kKeptLines);
    EXPECT_EQ(lines.constLast(), QString::number(MrLog::kKeptLines + 9));
}

TEST(MrLogTest, FileGetsEarlierAndLaterLines)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("state/velmora/kivo.log"));
    MrLog log;
    log.log(QStringLiteral("before"));
    ASSERT_TRUE(log.openFile(path));
    log.log(QStringLiteral("after"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray content = f.readAll();
    EXPECT_TRUE(content.contains("START OF SESSION"));
    EXPECT_TRUE(content.contains("before\nafter\n"));
}

TEST(MrLogTest, UnwritableFileNeverFailsTheCaller)
{
    QTemporaryDir dir;
    MrLog log;
    EXPECT_FALSE(log.openFile(dir.path())); // a folder cannot be opened as the log file
    log.log(QStringLiteral("still fine"));
    EXPECT_EQ(log.recentLines().constLast(), QStringLiteral("still fine"));
    EXPECT_TRUE(MrLog::defaultFilePath().endsWith(QStringLiteral("/velmora/kivo.log")));
}

TEST(GlobalsTest, ResetGivesAFreshState)
{
    globals().gDetails = QStringLiteral("x");
    globals().gOutlookVersion = QStringLiteral("12.0");
    globals().gLog.log(QStringLiteral("old"));
    resetGlobals();
    EXPECT_EQ(globals().gDetails, QString());
    EXPECT_EQ(globals().gOutlookVersion, QString());
    EXPECT_EQ(globals().gLog.recentLines().size(), 1); // only the new banner
    EXPECT_EQ(&globals(), &globals());
}

TEST(DetailsTest, AddDetailsMarksOutlookAndEndsTheLine)
{
    resetGlobals();
    AddDetails(QStringLiteral("Outlook"), QStringLiteral("no free field for 0171"));
    AddDetails(QStringLiteral("K310 outlook"), QStringLiteral("name too long"));
    const QStringList lines = globals().gDetails.split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral(" Outlook\u00AE: no free field for 0171")))
        << lines[0].toStdString();
    EXPECT_TRUE(lines[1].endsWith(QStringLiteral(" K310 outlook: name too long")));
    EXPECT_EQ(lines[2], QString());
}
