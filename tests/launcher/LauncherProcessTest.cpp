// The launcher program run as its own process: a copy in a temporary folder beside the programs it
// updates, started from another folder that it must leave untouched.
#include "support/TempDir.h"
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

using namespace orvia::test;

namespace {

class LauncherProcess : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const QString bin = qEnvironmentVariable("ORVIA_BIN_DIR");
        const QString built =
            (bin.isEmpty() ? QCoreApplication::applicationDirPath() : bin) + QStringLiteral("/OrviaLink");
        ASSERT_TRUE(QFile::exists(built)) << qPrintable(built);
        launcher = dir.file(QStringLiteral("OrviaLink"));
        ASSERT_TRUE(QFile::copy(built, launcher));
        // A name of its own, so that other tests running the real main program do not hold us up.
        program = QStringLiteral("kivo-lt%1").arg(QCoreApplication::applicationPid());
    }
    void TearDown() override
    {
        if (holder.state() != QProcess::NotRunning) {
            holder.kill();
            holder.waitForFinished(5000);
        }
        EXPECT_TRUE(QDir(workingDir.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    }
    // A stand-in main program: a script that notes, in its own folder, which version of it was started.
    void writeProgram(const QString &name, const QByteArray &version) const
    {
        const QString path =
            dir.write(name, "#!/bin/sh\necho " + version + " > \"$(dirname \"$0\")/started.txt\"\n");
        QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner);
    }
    // A running process with the main program's name.
    void startHolder()
    {
        const QString sleep = QStandardPaths::findExecutable(QStringLiteral("sleep"));
        ASSERT_FALSE(sleep.isEmpty());
        const QString copy = dir.mkdir(QStringLiteral("holder")) + QLatin1Char('/') + program;
        ASSERT_TRUE(QFile::copy(sleep, copy));
        QFile::setPermissions(copy, QFile::permissions(copy) | QFile::ExeOwner);
        holder.start(copy, {QStringLiteral("60")});
        ASSERT_TRUE(holder.waitForStarted(5000));
    }
    void startLauncher()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("ORVIA_LAUNCHER_PROGRAM"), program);
        env.insert(QStringLiteral("ORVIA_LAUNCHER_POLL_MS"), QStringLiteral("20"));
        proc.setProcessEnvironment(env);
        proc.setWorkingDirectory(workingDir.path());
        proc.start(launcher, {});
        ASSERT_TRUE(proc.waitForStarted(5000));
    }
    QByteArray waitForFile(const QString &name, int ms = 10000) const
    {
        QDeadlineTimer deadline(ms);
        while (!deadline.hasExpired()) {
            const QByteArray c = dir.read(name);
            if (c.endsWith('\n'))
                return c;
            QProcess p;
            p.waitForFinished(20); // a short wait for the started program to write
        }
        return dir.read(name);
    }

    TempDir dir; // the programs' folder
    TempDir workingDir;
    QString launcher, program;
    QProcess proc, holder;
};

} // namespace

TEST_F(LauncherProcess, WaitsForTheRunningProgramThenSwapsAndStartsTheNewVersion)
{
    writeProgram(program, "old");
    writeProgram(program + QStringLiteral(".upd"), "new");
    dir.write(QStringLiteral("lang.dbl"), "old lang");
    dir.write(QStringLiteral("lang.dbl.upd"), "new lang");
    startHolder();
    startLauncher();
    // While the program runs the launcher keeps looking and touches nothing.
    EXPECT_FALSE(proc.waitForFinished(300));
    EXPECT_TRUE(dir.exists(QStringLiteral("lang.dbl.upd")));
    EXPECT_FALSE(dir.exists(QStringLiteral("started.txt")));
    holder.kill();
    holder.waitForFinished(5000);
    ASSERT_TRUE(proc.waitForFinished(10000));
    EXPECT_EQ(proc.exitCode(), 0) << proc.readAllStandardError().constData();
    EXPECT_EQ(waitForFile(QStringLiteral("started.txt")), QByteArray("new\n"));
    EXPECT_EQ(dir.read(QStringLiteral("lang.dbl")), QByteArray("new lang"));
    EXPECT_EQ(dir.read(QStringLiteral("lang.dbl.old")), QByteArray("old lang"));
    EXPECT_FALSE(dir.exists(program + QStringLiteral(".upd")));
    EXPECT_TRUE(dir.exists(program + QStringLiteral(".old")));
}

TEST_F(LauncherProcess, RollsBackWhenARenameFailsAndReportsWithoutADisplay)
{
    writeProgram(program, "old");
    writeProgram(program + QStringLiteral(".upd"), "new");
    dir.write(QStringLiteral("zz.dat"), "old data");
    dir.write(QStringLiteral("zz.dat.upd"), "new data");
    dir.mkdir(QStringLiteral("zz.dat.old"));
    startLauncher();
    ASSERT_TRUE(proc.waitForFinished(10000));
    const QByteArray err = proc.readAllStandardError();
    EXPECT_NE(proc.exitCode(), 0);
    EXPECT_TRUE(err.contains("The old files will be restored.")) << err.constData();
    EXPECT_TRUE(err.contains("Error while updating files.")) << err.constData();
    EXPECT_EQ(waitForFile(QStringLiteral("started.txt")), QByteArray("old\n"));
    EXPECT_EQ(dir.read(QStringLiteral("zz.dat")), QByteArray("old data"));
    EXPECT_FALSE(dir.exists(QStringLiteral("zz.dat.upd")));
}

TEST_F(LauncherProcess, SaysSoWhenTheMainProgramIsMissing)
{
    startLauncher();
    ASSERT_TRUE(proc.waitForFinished(10000));
    EXPECT_NE(proc.exitCode(), 0);
    EXPECT_TRUE(proc.readAllStandardError().contains("could not be started"));
}
