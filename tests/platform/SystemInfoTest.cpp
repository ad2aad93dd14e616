#include "common/SystemInfo.h"
#include "platform/ProcessTable.h"
#include "platform/SystemServicesPosix.h"
#include "support/FakeSystemServices.h"
#include "support/ManualTime.h"
#include "support/MemorySettingsStore.h"
#include "support/TempDir.h"
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace orvia;
using namespace orvia::test;

TEST(SystemInfo, VersionTextAndProcessCount)
{
    FakeSystemServices sys;
    sys.setVersion(5, 1);
    EXPECT_EQ(GetWinVersion(sys), QStringLiteral("5.1"));
    sys.setVersion(10, 0);
    EXPECT_EQ(GetWinVersion(sys), QStringLiteral("10.0"));

    EXPECT_EQ(CountProcesses(sys, QStringLiteral("kivo")), 0);
    sys.addProcess(QStringLiteral("KIVO.EXE"));
    sys.addProcess(QStringLiteral("bash"));
    EXPECT_EQ(CountProcesses(sys, QStringLiteral("kivo")), 1);
    sys.addProcess(QStringLiteral("mykivo"));
    sys.addProcess(QString::fromUtf16(u"kivo\0garbage", 12));
    sys.addProcess(QString::fromUtf16(u"ba\0kivo", 7)); // the name ends at its NUL
    EXPECT_EQ(CountProcesses(sys, QStringLiteral("Kivo")), 3);
}

TEST(SystemServices, APageIsOpenedOnlyWhenTheOpenerSaysSo)
{
    // The opener starts in every case; whether a program took the page is its exit status, known later,
    // unless it is still running when the bound has passed: then it has handed the page to a browser
    // and the browser's later status says nothing about the page.
    struct Case
    {
        const char *script; // the xdg-open found first on PATH; none when empty
        bool opened;
        bool endsAfterBound; // the script waits for "<page>.go", made once the bound has passed
    };
    const QByteArray path = qgetenv("PATH");
    for (const Case c :
         {Case{"exit 0", true, false}, Case{"echo no method available >&2; exit 3", false, false},
          Case{"kill -9 $$", false, false}, Case{"", false, false},
          Case{"while [ ! -e \"$1.go\" ]; do sleep 0.05; done; exit 4", true, true}}) {
        SCOPED_TRACE(c.script);
        TempDir dir;
        if (*c.script) {
            QFile opener(dir.path() + QStringLiteral("/xdg-open"));
            ASSERT_TRUE(opener.open(QIODevice::WriteOnly));
            opener.write(QByteArray("#!/bin/sh\n") + c.script + "\n");
            opener.close();
            ASSERT_TRUE(opener.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        }
        qputenv("PATH", dir.path().toLocal8Bit());
        ManualTime time;
        SystemServices sys(&time, 5000);
        int answers = 0;
        bool opened = !c.opened;
        const QString page = dir.path() + QStringLiteral("/help.html");
        sys.openPage(page, [&](bool ok) {
            ++answers;
            opened = ok;
        });
        qputenv("PATH", path);
        if (c.endsAfterBound) {
            time.advance(4999);
            EXPECT_EQ(answers, 0);
            time.advance(1);
            QFile go(page + QStringLiteral(".go"));
            EXPECT_TRUE(go.open(QIODevice::WriteOnly));
            go.close();
        }
        // Until the opener has ended and is gone.
        QDeadlineTimer deadline(20000);
        while (!QCoreApplication::instance()->findChildren<QProcess *>().isEmpty() &&
               !deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        EXPECT_TRUE(QCoreApplication::instance()->findChildren<QProcess *>().isEmpty());
        EXPECT_EQ(answers, 1);
        EXPECT_EQ(opened, c.opened);
    }
}

TEST(ProcessTable, ListsOnlyTheGivenUsersProcesses)
{
    TempDir proc;
    proc.write(QStringLiteral("12/status"), "Name:\tkivo\nState:\tS\nUid:\t1000\t1000\t1000\t1000\n");
    proc.write(QStringLiteral("7/status"), "Name:\tother\nUid:\t1000\t0\t0\t0\n");
    proc.write(QStringLiteral("30/status"), "Name:\tkivo\nUid:\t1001\t1001\t1001\t1001\n"); // another user
    proc.write(QStringLiteral("40/status"), "Name:\tbroken\n");                             // no uid line
    proc.write(QStringLiteral("self/status"), "Name:\tkivo\nUid:\t1000\n"); // not a process id
    proc.mkdir(QStringLiteral("55"));                                       // vanished
    const QList<ProcessEntry> got = readProcessTable(proc.path(), 1000);
    ASSERT_EQ(got.size(), 2);
    EXPECT_EQ(got[0].pid, 7);
    EXPECT_EQ(got[0].exeName, QStringLiteral("other"));
    EXPECT_EQ(got[1].pid, 12);
    EXPECT_EQ(got[1].exeName, QStringLiteral("kivo"));
    EXPECT_TRUE(readProcessTable(proc.file(QStringLiteral("none")), 1000).isEmpty());

    // On this machine the test program itself is found by its executable's name.
    SystemServices sys;
    const QString self = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    EXPECT_GE(CountProcesses(sys, self), 1);
    bool found = false;
    for (const ProcessEntry &p : sys.processes())
        found = found || p.pid == ::getpid();
    EXPECT_TRUE(found);
}

class RemovePendingDirTest : public ::testing::Test
{
protected:
    void setPending(const QString &value) { settings.save(kSettingsApp, kSettingsCommon, key, value); }
    bool pendingSet() const { return settings.contains(kSettingsApp, kSettingsCommon, key); }
    const QString key = QStringLiteral("RemoveDir");
    TempDir dir;
    MemorySettingsStore settings;
    SystemServices sys;
};

TEST_F(RemovePendingDirTest, DeletesTheFilesAndKeepsAFolderThatStillHoldsOne)
{
    const QString hidden = dir.write(QStringLiteral("old/.hidden"), "h");
    ::chmod(QFile::encodeName(hidden).constData(), 0444);
    dir.write(QStringLiteral("old/plain.txt"));
    dir.write(QStringLiteral("old/noext"));
    dir.write(QStringLiteral("old/sub/keep.txt"));
    setPending(dir.file(QStringLiteral("old/")));
    RemovePendingDir(settings, sys);
    EXPECT_FALSE(dir.exists(QStringLiteral("old/.hidden")));
    EXPECT_FALSE(dir.exists(QStringLiteral("old/plain.txt")));
    EXPECT_FALSE(dir.exists(QStringLiteral("old/noext")));
    EXPECT_TRUE(dir.exists(QStringLiteral("old/sub/keep.txt")));
    EXPECT_FALSE(pendingSet());
}

TEST_F(RemovePendingDirTest, RemovesAnEmptiedFolderEvenWithoutItsTrailingSeparator)
{
    dir.write(QStringLiteral("old/a.txt"));
    dir.write(QStringLiteral("oldest.txt")); // a neighbour whose name starts like the folder
    setPending(dir.file(QStringLiteral("old")));
    RemovePendingDir(settings, sys);
    EXPECT_FALSE(dir.exists(QStringLiteral("old")));
    EXPECT_TRUE(dir.exists(QStringLiteral("oldest.txt")));
    EXPECT_FALSE(pendingSet());
}

TEST_F(RemovePendingDirTest, UnsetEmptyOrMissingTouchesNothingButTheSetting)
{
    dir.write(QStringLiteral("old/a.txt"));
    RemovePendingDir(settings, sys);
    EXPECT_TRUE(dir.exists(QStringLiteral("old/a.txt")));
    EXPECT_EQ(settings.writes(), 0);

    setPending(QString());
    RemovePendingDir(settings, sys);
    EXPECT_TRUE(dir.exists(QStringLiteral("old/a.txt")));
    EXPECT_TRUE(pendingSet()); // empty: nothing to do, not even the deletion

    setPending(dir.file(QStringLiteral("gone/")));
    EXPECT_NO_THROW(RemovePendingDir(settings, sys));
    EXPECT_FALSE(pendingSet());
    EXPECT_TRUE(dir.exists(QStringLiteral("old/a.txt")));
}
