#include "common/Details.h"
#include "common/Globals.h"
#include "platform/VisibleText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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

namespace {
QFile::Permissions modeOf(const QString &path)
{
    return QFile::permissions(path) & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser);
}
QByteArray contentOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

TEST(MrLogTest, FileIsTheOwnersAndKeepsOnlyTheSessionBefore)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("state/velmora"));
    const QString path = folder + QStringLiteral("/kivo.log");
    const auto open = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther;
    {
        // What an earlier version left: an open folder and a log of every session.
        ASSERT_TRUE(QDir().mkpath(folder));
        QFile::setPermissions(folder, open | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther);
        for (const char *name : {"kivo.log", "kivo.log.1"}) {
            QFile f(folder + QLatin1Char('/') + QLatin1String(name));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(QByteArray("session of ") + name + '\n');
            f.setPermissions(open);
        }
    }
    MrLog log;
    ASSERT_TRUE(log.openFile(path));
    log.log(QStringLiteral("now"));
    EXPECT_EQ(modeOf(folder), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(modeOf(path), QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(modeOf(path + QStringLiteral(".1")), QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(contentOf(path + QStringLiteral(".1")), QByteArray("session of kivo.log\n"));
    EXPECT_FALSE(contentOf(path).contains("session of"));
    EXPECT_TRUE(contentOf(path).endsWith("now\n"));

    // A new folder is made for the owner alone, down from the first missing part.
    MrLog fresh;
    const QString deep = dir.filePath(QStringLiteral("new/state/velmora/kivo.log"));
    ASSERT_TRUE(fresh.openFile(deep));
    for (const char *part : {"new", "new/state", "new/state/velmora"})
        EXPECT_EQ(modeOf(dir.filePath(QLatin1String(part))),
                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner)
            << part;
}

TEST(MrLogTest, FileStaysBoundedHoweverMuchIsLogged)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kivo.log"));
    MrLog log;
    ASSERT_TRUE(log.openFile(path));
    // A whole store on one line, many times over, then one line larger than a file may be.
    const QString store = QString(700 * 1024, QLatin1Char('s'));
    for (int run = 0; run < 15; ++run)
        log.log(store + QString::number(run));
    log.log(QString(MrLog::kMaxFileBytes, QChar(0x00e9)));
    log.log(QStringLiteral("last"));
    const qint64 current = QFileInfo(path).size();
    const qint64 previous = QFileInfo(path + QStringLiteral(".1")).size();
    EXPECT_LE(current, MrLog::kMaxFileBytes);
    EXPECT_LE(previous, MrLog::kMaxFileBytes);
    EXPECT_GT(previous, MrLog::kMaxFileBytes / 2); // the oversized line, cut
    EXPECT_TRUE(contentOf(path).endsWith("last\n"));
    EXPECT_TRUE(
        QString::fromUtf8(contentOf(path + QStringLiteral(".1"))).endsWith(QStringLiteral("\u00e9\n")));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2);
}

TEST(MrLogTest, UnwritableFileNeverFailsTheCaller)
{
    QTemporaryDir dir;
    MrLog log;
    const QString folder = dir.filePath(QStringLiteral("kivo.log"));
    ASSERT_TRUE(QDir().mkpath(folder));
    EXPECT_FALSE(log.openFile(folder)); // a folder cannot be opened as the log file
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
    // Names from other programs stay on the notice's line, whatever control characters they hold.
    AddDetails(QStringLiteral("Anna\r\nDetails for K310"), QStringLiteral("name\ttoo long\x1b[2K\u202e"));
    AddReadError(QStringLiteral("Error from Outlook while reading contacts"),
                 QStringLiteral("a\nError\u2028b.vcf: \x7f\x85"));
    const QStringList lines = globals().gDetails.split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 5);
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral(" Outlook\u00AE: no free field for 0171")))
        << lines[0].toStdString();
    EXPECT_TRUE(lines[1].endsWith(QStringLiteral(" K310 outlook: name too long")));
    EXPECT_EQ(lines[2],
              QStringLiteral("Details for Anna\\r\\nDetails for K310: name\\ttoo long\\x1b[2K\\u202e"));
    EXPECT_EQ(lines[3], QStringLiteral("Error from Outlook while reading contacts: a\\nError\\u2028b.vcf: "
                                       "\\x7f\\x85"));
    EXPECT_EQ(lines[4], QString());

    // A store's text form keeps its record lines in the log; what the names hold is written out.
    EXPECT_EQ(visibleLines(u"Contacts,2\r\n\"Anna\x1b[8m\u2028x\",1\r\n\"B\rb\",2"),
              QStringLiteral("Contacts,2\r\n\"Anna\\x1b[8m\\u2028x\",1\r\n\"B\\rb\",2"));
}
