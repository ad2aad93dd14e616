#include "platform/RuntimeError.h"
#include "platform/SystemServicesPosix.h"
#include "platform/Wildcard.h"
#include "support/ErrorOf.h"
#include "support/TempDir.h"
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace orvia;
using namespace orvia::test;

namespace {
void makeReadOnly(const QString &path)
{
    ::chmod(QFile::encodeName(path).constData(), 0444);
}
} // namespace

TEST(Wildcard, ReadsPatternsTheClassicWay)
{
    struct Case
    {
        const char *pattern, *name;
        bool match;
    } cases[] = {
        {"*.*", "README", true},          {"*.*", "a.b.c", true},          {"*.upd", "kivo.UPD", true},
        {"*.upd", "kivo.upd.old", false}, {"*.old", "lang.dbl.old", true}, {"kivo.*", "kivo", true},
        {"kivo.*", "kivo.exe", true},     {"kivo.*", "kivox", false},      {"?ivo", "kivo", true},
        {"?ivo", "ivo", false},           {"a*b*c", "aXbYbZc", true},      {"a*b*c", "aXbYbZ", false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(wildcardMatch(QLatin1String(c.pattern), QLatin1String(c.name)), c.match)
            << c.pattern << " " << c.name;
    // Long runs of stars stay fast.
    EXPECT_FALSE(
        wildcardMatch(QString(200, QLatin1Char('*')) + QLatin1Char('x'), QString(5000, QLatin1Char('a'))));
}

class FileOpsTest : public ::testing::Test
{
protected:
    TempDir dir;
    SystemServices sys;
    QString p(const QString &n) const { return dir.file(n); }
};

TEST_F(FileOpsTest, ListingHonoursTheAttributeMask)
{
    dir.write(QStringLiteral("plain.upd"));
    dir.write(QStringLiteral("B.UPD"));
    dir.write(QStringLiteral(".hidden.upd"));
    makeReadOnly(dir.write(QStringLiteral("ro.upd")));
    dir.mkdir(QStringLiteral("folder.upd"));
    dir.write(QStringLiteral("sub/deep.upd"));

    const QString pattern = dir.path() + QStringLiteral("/*.upd");
    EXPECT_EQ(sys.listFiles(pattern, attr::Normal),
              (QStringList{QStringLiteral("B.UPD"), QStringLiteral("plain.upd")}));
    EXPECT_EQ(sys.listFiles(pattern, attr::ReadOnly | attr::Hidden | attr::System),
              (QStringList{QStringLiteral(".hidden.upd"), QStringLiteral("B.UPD"),
                           QStringLiteral("plain.upd"), QStringLiteral("ro.upd")}));
    EXPECT_TRUE(sys.listFiles(pattern, attr::Directory).contains(QStringLiteral("folder.upd")));
    EXPECT_EQ(sys.listFiles(dir.path() + QStringLiteral("/plain.upd"), 0),
              QStringList{QStringLiteral("plain.upd")});
    EXPECT_TRUE(sys.listFiles(dir.path() + QStringLiteral("/none.*"), 7).isEmpty());
    EXPECT_EQ(errorOf([&] { sys.listFiles(p(QStringLiteral("missing/*.*")), 0); }), ErrPathNotFound);
}

TEST_F(FileOpsTest, DeleteRenameAndFoldersFailLikeTheClassicCalls)
{
    const QString ro = dir.write(QStringLiteral("ro.txt"), "x");
    makeReadOnly(ro);
    EXPECT_EQ(errorOf([&] { sys.deleteFile(ro); }), ErrPathAccess);
    EXPECT_TRUE(dir.exists(QStringLiteral("ro.txt")));
    sys.setAttributes(ro, attr::Normal);
    EXPECT_EQ(errorOf([&] { sys.deleteFile(ro); }), 0);
    EXPECT_FALSE(dir.exists(QStringLiteral("ro.txt")));
    EXPECT_EQ(errorOf([&] { sys.deleteFile(ro); }), ErrFileNotFound);
    EXPECT_EQ(errorOf([&] { sys.deleteFile(dir.mkdir(QStringLiteral("d"))); }), ErrFileNotFound);

    // Wildcard deletion takes plain files only, in this folder only.
    dir.write(QStringLiteral("a.old"));
    dir.write(QStringLiteral("b.old"));
    dir.write(QStringLiteral(".c.old"));
    dir.write(QStringLiteral("d/e.old"));
    sys.deleteFile(dir.path() + QStringLiteral("/*.old"));
    EXPECT_FALSE(dir.exists(QStringLiteral("a.old")) || dir.exists(QStringLiteral("b.old")));
    EXPECT_TRUE(dir.exists(QStringLiteral(".c.old")) && dir.exists(QStringLiteral("d/e.old")));
    EXPECT_EQ(errorOf([&] { sys.deleteFile(dir.path() + QStringLiteral("/*.old")); }), ErrFileNotFound);

    dir.write(QStringLiteral("from"), "1");
    dir.write(QStringLiteral("to"), "2");
    EXPECT_EQ(errorOf([&] { sys.rename(p(QStringLiteral("from")), p(QStringLiteral("to"))); }),
              ErrFileExists);
    EXPECT_EQ(dir.read(QStringLiteral("to")), QByteArray("2"));
    EXPECT_EQ(errorOf([&] { sys.rename(p(QStringLiteral("from")), p(QStringLiteral("d"))); }), ErrFileExists);
    EXPECT_EQ(errorOf([&] { sys.rename(p(QStringLiteral("nope")), p(QStringLiteral("x"))); }),
              ErrFileNotFound);
    EXPECT_EQ(errorOf([&] { sys.rename(p(QStringLiteral("from")), p(QStringLiteral("no/x"))); }),
              ErrPathNotFound);
    sys.rename(p(QStringLiteral("from")), p(QStringLiteral("renamed")));
    EXPECT_EQ(dir.read(QStringLiteral("renamed")), QByteArray("1"));

    EXPECT_EQ(errorOf([&] { sys.makeDir(p(QStringLiteral("d"))); }), ErrPathAccess);
    EXPECT_EQ(errorOf([&] { sys.makeDir(p(QStringLiteral("x/y"))); }), ErrPathNotFound);
    EXPECT_EQ(errorOf([&] { sys.removeDir(p(QStringLiteral("d"))); }), ErrPathAccess); // not empty
    EXPECT_EQ(errorOf([&] { sys.removeDir(p(QStringLiteral("gone"))); }), ErrPathNotFound);
    sys.makeDir(p(QStringLiteral("new")));
    EXPECT_TRUE(sys.fileExists(p(QStringLiteral("new"))));
    sys.removeDir(p(QStringLiteral("new")));
    EXPECT_FALSE(sys.fileExists(p(QStringLiteral("new"))));
    EXPECT_FALSE(sys.fileExists(QString()));
    EXPECT_EQ(errorOf([&] { sys.setAttributes(p(QStringLiteral("gone")), 0); }), ErrFileNotFound);
}

TEST(SystemServicesPosix, KernelReleaseAndProgramLookup)
{
    int major = -1, minor = -1;
    SystemServices::parseKernelRelease(QStringLiteral("6.1.0-18-amd64"), major, minor);
    EXPECT_EQ(major, 6);
    EXPECT_EQ(minor, 1);
    SystemServices::parseKernelRelease(QStringLiteral("5.15"), major, minor);
    EXPECT_EQ(major * 100 + minor, 515);
    SystemServices::parseKernelRelease(QStringLiteral("weird"), major, minor);
    EXPECT_EQ(major + minor, 0);
    SystemServices::parseKernelRelease(QStringLiteral("99999999999999999.1"), major, minor);
    EXPECT_GE(major, 0); // no overflow

    SystemServices sys;
    EXPECT_GT(sys.osMajorVersion(), 0);
    EXPECT_FALSE(sys.userLanguageName().isEmpty());
    EXPECT_EQ(sys.mainExecutableName(), QStringLiteral("kivo"));
    EXPECT_FALSE(sys.startProgram(QStringLiteral("/nonexistent/program"), {}, true));

    // The program's folder is where its executable lies, not where it was started from.
    const QString here = QDir::currentPath();
    TempDir elsewhere;
    ASSERT_TRUE(QDir::setCurrent(elsewhere.path()));
    const QString programDir = sys.programDir();
    QDir::setCurrent(here);
    EXPECT_EQ(QFileInfo(programDir).canonicalFilePath(),
              QFileInfo(QCoreApplication::applicationFilePath()).canonicalPath());
}
