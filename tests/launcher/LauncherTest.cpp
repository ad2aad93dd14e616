#include "launcher/Launcher.h"
#include "launcher/FindProcess.h"
#include "platform/RuntimeError.h"
#include "support/FakeSystemServices.h"
#include "support/ManualTime.h"
#include "support/ScriptedMessageBox.h"
#include "support/TempDir.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace orvia;
using namespace orvia::test;

TEST(FindProcess, FirstMatchByContainedNameWithoutRegardToCase)
{
    FakeSystemServices sys;
    EXPECT_EQ(FindProcess(sys, QStringLiteral("kivo")), 0);
    sys.addProcess(QStringLiteral("bash"));
    const qint32 first = sys.addProcess(QStringLiteral("MyKIVO"));
    sys.addProcess(QStringLiteral("kivo"));
    EXPECT_EQ(FindProcess(sys, QStringLiteral("Kivo")), first);
    sys.removeProcess(first);
    sys.addProcess(QString::fromUtf16(u"x\0kivo", 6)); // the name ends at its NUL
    EXPECT_EQ(FindProcess(sys, QStringLiteral("kivo")), first + 1);
    EXPECT_EQ(FindProcess(sys, QStringLiteral("kivo.exe")), 0);
}

namespace {

// Runs the launcher with its programs in a temporary folder, started from another one that must stay
// untouched, with scripted processes, time and boxes.
class LauncherRun : public ::testing::Test
{
protected:
    void SetUp() override
    {
        sys.setProgramDir(dir.path());
        m_oldDir = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(workingDir.path()));
    }
    void TearDown() override
    {
        QDir::setCurrent(m_oldDir);
        EXPECT_TRUE(QDir(workingDir.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    }
    Launcher::Outcome run()
    {
        Launcher l(sys, time, box);
        return l.run();
    }
    QByteArray read(const char *name) const { return dir.read(QLatin1String(name)); }
    bool has(const char *name) const { return dir.exists(QLatin1String(name)); }
    void write(const char *name, const QByteArray &content) const { dir.write(QLatin1String(name), content); }

    TempDir dir; // the programs' folder
    TempDir workingDir;
    FakeSystemServices sys;
    ManualTime time;
    ScriptedMessageBox box;

private:
    QString m_oldDir;
};

} // namespace

TEST_F(LauncherRun, NothingToDoLooksOnceWaitsASecondAndStarts)
{
    write("kivo", "old");
    EXPECT_EQ(run(), Launcher::Outcome::Started);
    EXPECT_EQ(sys.lookups(), 1);
    EXPECT_EQ(time.pauses(), std::vector<int>{1000});
    ASSERT_EQ(sys.starts().size(), 1);
    EXPECT_EQ(sys.starts()[0].path, dir.file(QStringLiteral("kivo")));
    EXPECT_TRUE(sys.starts()[0].minimised);
    EXPECT_EQ(box.count(), 0);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("kivo")});
}

TEST_F(LauncherRun, WaitsWhileTheMainProgramRunsBeforeTouchingFiles)
{
    write("kivo", "old");
    write("kivo.upd", "new");
    const qint32 pid = sys.addProcess(QStringLiteral("kivo"));
    sys.setOnLookup([&](int n) {
        EXPECT_TRUE(has("kivo.upd"));
        if (n == 3)
            sys.removeProcess(pid);
    });
    EXPECT_EQ(run(), Launcher::Outcome::Started);
    EXPECT_EQ(sys.lookups(), 4);
    EXPECT_EQ(time.pauses().size(), 4u);
    EXPECT_EQ(read("kivo"), QByteArray("new"));
}

TEST_F(LauncherRun, SwapsKeepingBackupsOfThisUpdateOnly)
{
    write("kivo", "old program");
    write("kivo.upd", "new program");
    write("lang.dbl", "old lang");
    write("lang.dbl.upd", "new lang");
    write("help.htm.upd", "brand new");    // no previous file: no backup
    write("stale.old", "from before");     // an earlier update's backup
    write("sub/deep.upd", "not for here"); // only the current folder counts
    EXPECT_EQ(run(), Launcher::Outcome::Started);
    EXPECT_EQ(read("kivo"), QByteArray("new program"));
    EXPECT_EQ(read("kivo.old"), QByteArray("old program"));
    EXPECT_EQ(read("lang.dbl"), QByteArray("new lang"));
    EXPECT_EQ(read("lang.dbl.old"), QByteArray("old lang"));
    EXPECT_EQ(read("help.htm"), QByteArray("brand new"));
    EXPECT_FALSE(has("help.htm.old"));
    EXPECT_FALSE(has("stale.old"));
    EXPECT_TRUE(QDir(dir.path()).entryList({QStringLiteral("*.upd")}, QDir::Files).isEmpty());
    EXPECT_EQ(read("sub/deep.upd"), QByteArray("not for here"));
    EXPECT_EQ(sys.starts().size(), 1);
    EXPECT_EQ(box.count(), 0);
}

TEST_F(LauncherRun, FailedSwapRestoresTheOldFilesStartsAndSaysSo)
{
    write("kivo", "old program");
    write("kivo.upd", "new program");
    write("lang.dbl", "old lang");
    write("lang.dbl.upd", "new lang");
    write("other.old", "stale");
    dir.mkdir(QStringLiteral("lang.dbl.old")); // a folder where the backup must go: the swap fails
    EXPECT_EQ(run(), Launcher::Outcome::RolledBack);
    EXPECT_EQ(read("kivo"), QByteArray("old program"));
    EXPECT_EQ(read("lang.dbl"), QByteArray("old lang"));
    EXPECT_FALSE(has("kivo.old"));
    EXPECT_FALSE(has("other.old")); // deleted before the swap, also when it then fails
    EXPECT_FALSE(has("kivo.upd") || has("lang.dbl.upd"));
    EXPECT_EQ(sys.starts().size(), 1);
    EXPECT_EQ(box.texts(), (QStringList{Launcher::kSwapFailedText, Launcher::kUpdateErrorText}));
    EXPECT_EQ(box.last().title, kLauncherTitle);
    EXPECT_EQ(box.last().style, mb::OkOnly);
}

TEST_F(LauncherRun, AnOlderBackupThatCouldNotBeDeletedIsNeverRestored)
{
    write("kivo", "current");
    write("kivo.upd", "next");
    write("kivo.old", "two versions ago");
    ::chmod(QFile::encodeName(dir.file(QStringLiteral("kivo.old"))).constData(),
            0444); // survives the clean-up
    EXPECT_EQ(run(), Launcher::Outcome::RolledBack);
    EXPECT_EQ(read("kivo"), QByteArray("current"));
    EXPECT_EQ(read("kivo.old"), QByteArray("two versions ago"));
    EXPECT_EQ(sys.starts().size(), 1);
}

TEST_F(LauncherRun, BackupThatCannotGoBackStopsWithoutStarting)
{
    // The new program file resists deletion, so its backup cannot take its place again.
    class StubbornFiles : public FakeSystemServices
    {
    public:
        void deleteFile(const QString &path) override
        {
            if (QFileInfo(path).fileName() == QLatin1String("kivo"))
                throwError(ErrPathAccess);
            FakeSystemServices::deleteFile(path);
        }
    } stubborn;
    stubborn.setProgramDir(dir.path());
    write("kivo", "old program");
    write("kivo.upd", "new program");
    write("lang.dbl", "old lang");
    write("lang.dbl.upd", "new lang");
    dir.mkdir(QStringLiteral("lang.dbl.old"));
    Launcher l(stubborn, time, box);
    EXPECT_EQ(l.run(), Launcher::Outcome::RollBackFailed);
    EXPECT_EQ(read("kivo.old"), QByteArray("old program")); // nothing lost: the backup is still there
    EXPECT_EQ(read("lang.dbl"), QByteArray("old lang"));
    EXPECT_TRUE(stubborn.starts().isEmpty());
    EXPECT_EQ(box.texts(), (QStringList{Launcher::kSwapFailedText, Launcher::kUpdateErrorText}));
}

TEST_F(LauncherRun, AProgramThatCannotStartIsReportedOnEveryPath)
{
    sys.setStartResult(false);
    EXPECT_EQ(run(), Launcher::Outcome::StartFailed);
    EXPECT_EQ(box.texts(), QStringList{Launcher::startFailedText(QStringLiteral("kivo"))});

    box.clear();
    write("lang.dbl", "old lang");
    write("lang.dbl.upd", "new lang");
    dir.mkdir(QStringLiteral("lang.dbl.old"));
    EXPECT_EQ(run(), Launcher::Outcome::StartFailed);
    EXPECT_EQ(box.texts(),
              (QStringList{Launcher::kSwapFailedText, Launcher::startFailedText(QStringLiteral("kivo")),
                           Launcher::kUpdateErrorText}));
}
