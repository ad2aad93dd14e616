// A general AT client identifies the simulated handset and reads and writes its phonebook. Runs
// where gammu is installed.
#include "PhonesimProcess.h"
#include "phonesim/ContentsFile.h"

#include <QFile>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace orvia::phonesim;
using namespace orvia::phonesim::test;

namespace {

class GammuTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_gammu = QStandardPaths::findExecutable(QStringLiteral("gammu"));
        if (m_gammu.isEmpty())
            GTEST_SKIP() << "gammu is not installed";
        ASSERT_TRUE(m_home.isValid());
        writeFile(QStringLiteral("contents.txt"), "model=K110\n"
                                                  "entry=SM,1,\"+4915112345678\",145,\"Anna\",0\n"
                                                  "entry=SM,3,\"030123456\",129,\"B\xc3\xa4rbel\",0\n");
        m_sim = std::make_unique<PhonesimProcess>(
            QStringList{QStringLiteral("--contents"), m_home.filePath(QStringLiteral("contents.txt")),
                        QStringLiteral("--dump"), m_home.filePath(QStringLiteral("dump.txt"))});
        ASSERT_TRUE(m_sim->started());
        writeFile(QStringLiteral("gammurc"),
                  "[gammu]\ndevice = " + m_sim->ptyPath().toLocal8Bit() + "\nconnection = at\n");
    }

    void writeFile(const QString &name, const QByteArray &text)
    {
        QFile f(m_home.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }

    // Runs gammu with the temporary configuration and home; its exit code and standard output.
    int gammu(const QStringList &args, QString *out)
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), m_home.path());
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(m_home.path());
        p.start(m_gammu,
                QStringList{QStringLiteral("-c"), m_home.filePath(QStringLiteral("gammurc"))} + args);
        p.closeWriteChannel();
        if (!p.waitForFinished(60000)) {
            p.kill();
            p.waitForFinished();
            return -1;
        }
        *out = QString::fromLocal8Bit(p.readAllStandardOutput());
        return p.exitCode();
    }

    HandsetContents finalContents()
    {
        EXPECT_EQ(m_sim->terminate(), 0);
        const ContentsResult r = loadContentsFile(m_home.filePath(QStringLiteral("dump.txt")));
        EXPECT_TRUE(r.contents) << r.error.toStdString();
        return r.contents.value_or(HandsetContents{});
    }

    QString m_gammu;
    QTemporaryDir m_home;
    std::unique_ptr<PhonesimProcess> m_sim;
};

TEST_F(GammuTest, IdentifiesTheHandset)
{
    QString out;
    ASSERT_EQ(gammu({QStringLiteral("--identify")}, &out), 0) << out.toStdString();
    EXPECT_TRUE(out.contains(QLatin1String("Velmora"))) << out.toStdString();
    EXPECT_TRUE(out.contains(QLatin1String("K110")));
    EXPECT_TRUE(out.contains(QLatin1String("351234567890126")));
}

TEST_F(GammuTest, ReadsEverySimEntry)
{
    QString out;
    ASSERT_EQ(gammu({QStringLiteral("getallmemory"), QStringLiteral("SM")}, &out), 0) << out.toStdString();
    for (const char *expected :
         {"\"Anna\"", "\"+4915112345678\"", "\"B\xc3\xa4rbel\"", "\"030123456\"", "Location 3"})
        EXPECT_TRUE(out.contains(QString::fromUtf8(expected))) << expected << "\n" << out.toStdString();
}

TEST_F(GammuTest, WritesAndDeletesEntries)
{
    writeFile(QStringLiteral("new.vcf"), "BEGIN:VCARD\nVERSION:2.1\nN:Cora\nTEL:+49301234\nEND:VCARD\n");
    QString out;
    // The handset keeps no clock, so gammu's closing date question fails; the entry is written before.
    gammu({QStringLiteral("addnew"), m_home.filePath(QStringLiteral("new.vcf")), QStringLiteral("-yes"),
           QStringLiteral("-memory"), QStringLiteral("SM")},
          &out);
    ASSERT_EQ(gammu({QStringLiteral("deletememory"), QStringLiteral("SM"), QStringLiteral("1")}, &out), 0)
        << out.toStdString();
    const HandsetContents c = finalContents();
    EXPECT_EQ(c.sim.entries.count(1), 0u);
    ASSERT_EQ(c.sim.entries.count(2), 1u);
    EXPECT_EQ(c.sim.entries.at(2).name, QStringLiteral("Cora"));
    EXPECT_EQ(c.sim.entries.at(2).number, QStringLiteral("+49301234"));
    EXPECT_EQ(c.sim.entries.at(3).name, QStringLiteral("B\u00e4rbel"));
}

} // namespace
