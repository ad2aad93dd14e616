// Crash safety: a writer killed at any moment leaves the old file or the new one.
#include "platform/pim/AtomicFile.h"
#include "PimTestFolder.h"
#include "platform/RuntimeError.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using namespace orvia;
using namespace orvia::pim;
using orvia::pim::test::TempRoot;

TEST(AtomicFile, KilledWriterLeavesOldOrNewFileNeverAPartOne)
{
    TempRoot t;
    const QString target = t.path() + QStringLiteral("/c.vcf");
    const QByteArray a(200000, 'a');
    const QByteArray b(300000, 'b');
    replaceFileAtomically(target, a);
    for (int round = 0; round < 12; ++round) {
        int pipeFd[2];
        ASSERT_EQ(::pipe(pipeFd), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(pipeFd[0]);
            for (int i = 0;; ++i) {
                replaceFileAtomically(target, i % 2 ? a : b);
                const char done = 'x';
                if (::write(pipeFd[1], &done, 1) != 1)
                    ::_exit(1);
            }
        }
        ::close(pipeFd[1]);
        // Let a random number of writes complete, then kill the writer in the middle of the next one.
        const int writes = 1 + int(QRandomGenerator::global()->bounded(4));
        char c;
        for (int i = 0; i < writes; ++i)
            ASSERT_EQ(::read(pipeFd[0], &c, 1), 1);
        volatile int spin = int(QRandomGenerator::global()->bounded(200000));
        while (spin > 0)
            spin = spin - 1;
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ::close(pipeFd[0]);
        QFile f(target);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray now = f.readAll();
        EXPECT_TRUE(now == a || now == b) << "partial file of " << now.size() << " bytes";
    }
    // Interrupted writes may leave hidden temporaries, never anything a reader takes for an item.
    for (const QString &name : t.files(QString()))
        EXPECT_TRUE(name == QStringLiteral("c.vcf") || (name.startsWith('.') && name.endsWith(".tmp")))
            << name.toStdString();
}

TEST(AtomicFile, ExclusiveCreateNeverReplacesAndFailuresLeaveNoTrace)
{
    TempRoot t;
    const QString target = t.path() + QStringLiteral("/n.ics");
    EXPECT_TRUE(createFileExclusively(target, "one"));
    EXPECT_FALSE(createFileExclusively(target, "two"));
    EXPECT_EQ(t.read(QStringLiteral("n.ics")), "one");
    EXPECT_EQ(t.files(QString()), QStringList({"n.ics"}));
    int number = 0;
    try {
        replaceFileAtomically(t.path() + QStringLiteral("/missing/x.vcf"), "x");
    } catch (const RuntimeError &e) {
        number = e.number();
    }
    EXPECT_EQ(number, ErrPathAccess);

    // The batch's wait for the disk reports a store that is gone instead of passing silently.
    syncFileSystemOf(t.path());
    number = 0;
    try {
        syncFileSystemOf(t.path() + QStringLiteral("/missing"));
    } catch (const RuntimeError &e) {
        number = e.number();
    }
    EXPECT_EQ(number, ErrPathAccess);
}

TEST(AtomicFile, ReplacingKeepsTheFilesPermissions)
{
    TempRoot t;
    const QString target = t.path() + QStringLiteral("/p.vcf");
    replaceFileAtomically(target, "1");
    EXPECT_EQ(QFile::permissions(target) & 0x0FFF, QFileDevice::ReadUser | QFileDevice::WriteUser);
    QFile::setPermissions(target, QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ReadGroup);
    replaceFileAtomically(target, "2");
    EXPECT_TRUE(QFile::permissions(target) & QFileDevice::ReadGroup);
    EXPECT_EQ(t.read(QStringLiteral("p.vcf")), "2");
}
