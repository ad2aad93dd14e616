// The download of an offered update: ".upd" files byte for byte, error pages, unsafe names, broken
// transfers, and the end of the program after a complete download.
#include "UpdateRig.h"
#include "engine/UpdateFiles.h"
#include "platform/InternetTransfer.h"
#include "platform/RuntimeError.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace orvia;
using namespace orvia::test;

namespace {

const QString kFinished = QStringLiteral("Download finished.\r\nPlease restart the application.");
const QString kSaveError = QStringLiteral("An error occurred while saving the file.\r\nThe error was:\r\n");

QByteArray binary(int size, int seed)
{
    QByteArray b(size, '\0');
    for (int i = 0; i < size; ++i)
        b[i] = char((i * 131 + seed) & 0xff);
    return b;
}

class UpdateDownloadTest : public UpdateRig
{
protected:
    // Every entry in the folder, hidden ones included, so stray temporary files show.
    QStringList entries(const QString &sub = QString()) const
    {
        return QDir(dir.path() + sub)
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }
};

} // namespace

TEST_F(UpdateDownloadTest, FilesAreSavedByteForByteThenTheProgramEnds)
{
    const QByteArray program = binary(300000, 7);
    const QByteArray lang = binary(2000, 99);
    serveFile(QStringLiteral("/dl/kivo"), program);
    serveFile(QStringLiteral("/dl/lang.dbl"), lang);
    serveFile(QStringLiteral("/ftp://elsewhere/x"), "other scheme");
    dir.write(QStringLiteral("lang.dbl.upd"), "an older download");
    offer(fileEntry("/dl/kivo", "kivo") +
          fileEntry("HTTP://" + server.host().toLatin1() + "/dl/lang.dbl", "lang.dbl") +
          fileEntry("/ftp://elsewhere/x", "x"));

    check->DownloadUpdate();

    EXPECT_EQ(dir.read(QStringLiteral("kivo.upd")), program);
    EXPECT_EQ(dir.read(QStringLiteral("lang.dbl.upd")), lang);
    EXPECT_EQ(dir.read(QStringLiteral("x.upd")), QByteArray("other scheme"));
    EXPECT_EQ(entries(), QStringList({QStringLiteral("kivo.upd"), QStringLiteral("lang.dbl.upd"),
                                      QStringLiteral("x.upd")}));
    ASSERT_EQ(box.count(), 1);
    EXPECT_EQ(box.last().text, kFinished);
    EXPECT_EQ(box.last().style, mb::OkOnly);
    EXPECT_EQ(shell.quits, 1);
    // Relative addresses and other schemes got the web host; the upper-case scheme counted as absolute.
    EXPECT_EQ(server.count(QStringLiteral("/dl/kivo")), 1);
    EXPECT_EQ(server.count(QStringLiteral("/dl/lang.dbl")), 1);
    EXPECT_TRUE(logHas(QStringLiteral("Getting http://") + server.host() + QStringLiteral("/dl/kivo")));
    EXPECT_TRUE(logHas(QStringLiteral("Saving to kivo.upd")));
    EXPECT_TRUE(logHas(QStringLiteral("Finished Download")));
    EXPECT_TRUE(squeezeDots(view.text).contains(QStringLiteral("\r\nDownloading http://") + server.host() +
                                                QStringLiteral("/dl/kivo\r\nPlease wait\u2026")));
}

TEST_F(UpdateDownloadTest, OneFolderPartIsCreatedWhenMissing)
{
    serveFile(QStringLiteral("/h"), "help");
    serveFile(QStringLiteral("/i"), "icon");
    dir.mkdir(QStringLiteral("icons"));
    offer(fileEntry("/h", "help/index.html") + fileEntry("/i", "icons/a.png"));
    check->DownloadUpdate();
    EXPECT_EQ(dir.read(QStringLiteral("help/index.html.upd")), QByteArray("help"));
    EXPECT_EQ(dir.read(QStringLiteral("icons/a.png.upd")), QByteArray("icon"));
    EXPECT_EQ(shell.quits, 1);

    // A file where the folder should be: the save error, and nothing else written.
    box.clear();
    dir.write(QStringLiteral("docs"), "a file, not a folder");
    offer(fileEntry("/h", "docs/index.html"));
    check->DownloadUpdate();
    ASSERT_EQ(box.count(), 1);
    EXPECT_TRUE(box.last().text.startsWith(kSaveError)) << box.last().text.toStdString();
    EXPECT_EQ(shell.quits, 1);
    EXPECT_EQ(dir.read(QStringLiteral("docs")), QByteArray("a file, not a folder"));
}

TEST_F(UpdateDownloadTest, AFolderPartLinkedOutsideTheProgramFolderIsRefused)
{
    serveFile(QStringLiteral("/f"), "payload");
    QTemporaryDir outside;
    ASSERT_TRUE(QFile::link(outside.path(), dir.path() + QStringLiteral("/lib")));
    offer(fileEntry("/f", "lib/x"));
    check->DownloadUpdate();
    ASSERT_EQ(box.count(), 1);
    EXPECT_TRUE(box.last().text.contains(QStringLiteral("not allowed"))) << box.last().text.toStdString();
    EXPECT_TRUE(QDir(outside.path()).isEmpty());
    EXPECT_EQ(shell.quits, 0);

    // A link that stays inside the folder is followed.
    box.clear();
    dir.mkdir(QStringLiteral("real"));
    ASSERT_TRUE(QFile::link(dir.path() + QStringLiteral("/real"), dir.path() + QStringLiteral("/alias")));
    offer(fileEntry("/f", "alias/y"));
    check->DownloadUpdate();
    EXPECT_EQ(dir.read(QStringLiteral("real/y.upd")), QByteArray("payload"));
    EXPECT_EQ(shell.quits, 1);
}

TEST_F(UpdateDownloadTest, ErrorPageWith404IsNotSavedAndEndsWithoutFinishing)
{
    serveFile(QStringLiteral("/ok"), "good bytes");
    offer(fileEntry("/missing", "kivo") + fileEntry("/ok", "lang.dbl"));
    check->DownloadUpdate();
    EXPECT_FALSE(dir.exists(QStringLiteral("kivo.upd")));
    EXPECT_EQ(dir.read(QStringLiteral("lang.dbl.upd")),
              QByteArray("good bytes")); // the others still come
    EXPECT_EQ(box.count(), 0);
    EXPECT_EQ(shell.quits, 0);
    EXPECT_TRUE(logHas(QStringLiteral("The remote server returned an error.")));
    EXPECT_TRUE(view.text.contains(
        QStringLiteral("\r\nError while connecting to the update server. Please retry later.\r\n")));
    EXPECT_TRUE(view.enabled);
}

TEST_F(UpdateDownloadTest, TitledPageWithSuccessIsSkippedButNotAFailure)
{
    serveFile(QStringLiteral("/portal"), "<html><head><title>Welcome</title></head></html>");
    offer(fileEntry("/portal", "kivo"));
    check->DownloadUpdate();
    EXPECT_FALSE(dir.exists(QStringLiteral("kivo.upd")));
    EXPECT_EQ(box.count(), 1);
    EXPECT_EQ(box.last().text, kFinished);
    EXPECT_EQ(shell.quits, 1);
}

TEST_F(UpdateDownloadTest, EmptyFileListFinishesAtOnce)
{
    offer(QByteArray());
    check->DownloadUpdate();
    EXPECT_EQ(box.count(), 1);
    EXPECT_EQ(box.last().text, kFinished);
    EXPECT_EQ(shell.quits, 1);
    EXPECT_EQ(server.requests().size(), 1); // just the check
}

TEST_F(UpdateDownloadTest, UnsafeNamesWriteNothingAnywhere)
{
    const QList<QByteArray> names = {"/tmp/evil", "../evil", "sub/../../evil", "a\\b", "C:evil",
                                     "one/two/x", "",        "sub/",           "a..b", "x\nY"};
    serveFile(QStringLiteral("/f"), "payload");
    for (const QByteArray &name : names) {
        SCOPED_TRACE(name.toStdString());
        box.clear();
        dir.mkdir(QStringLiteral("one/two"));
        offer(fileEntry("/f", name));
        check->DownloadUpdate();
        ASSERT_EQ(box.count(), 1);
        EXPECT_TRUE(box.last().text.startsWith(kSaveError));
        EXPECT_TRUE(box.last().text.contains(QStringLiteral("not allowed")));
        EXPECT_EQ(shell.quits, 0);
        EXPECT_EQ(entries(), QStringList({QStringLiteral("one")}));
        EXPECT_TRUE(entries(QStringLiteral("/one/two")).isEmpty());
    }
    EXPECT_FALSE(QFile::exists(QDir(dir.path()).absoluteFilePath(QStringLiteral("../evil.upd"))));
}

TEST_F(UpdateDownloadTest, SecondFileFailingKeepsTheFirstAndLeavesNoPartialFile)
{
    serveFile(QStringLiteral("/a"), "first file");
    LocalHttpServer::Response cut = LocalHttpServer::text(binary(5000, 3));
    cut.mode = LocalHttpServer::Response::CutShort;
    cut.cutAt = 1200;
    server.route(QStringLiteral("/b"), cut);
    serveFile(QStringLiteral("/c"), "third file");
    offer(fileEntry("/a", "a") + fileEntry("/b", "b") + fileEntry("/c", "c"));

    check->DownloadUpdate();

    EXPECT_EQ(dir.read(QStringLiteral("a.upd")), QByteArray("first file"));
    EXPECT_EQ(entries(), QStringList({QStringLiteral("a.upd")}));
    ASSERT_EQ(box.count(), 1);
    EXPECT_EQ(box.last().text,
              QStringLiteral("Error while connecting to the update server. Please retry later."));
    EXPECT_TRUE(
        logHas(QStringLiteral("Message error: Error in startdownload: %1 ").arg(inet::ErrTransferFailed)));
    EXPECT_EQ(server.count(QStringLiteral("/c")), 0); // the download ended there
    EXPECT_EQ(shell.quits, 0);
}

TEST_F(UpdateDownloadTest, OversizedFileIsRefusedBeforeAnythingIsWritten)
{
    inet.setMaxDownloadBytes(4096);
    serveFile(QStringLiteral("/big"), binary(4097, 1));
    offer(fileEntry("/big", "big"));
    check->DownloadUpdate();
    EXPECT_TRUE(entries().isEmpty());
    ASSERT_EQ(box.count(), 1);
    EXPECT_TRUE(logHas(QStringLiteral("Error in startdownload: %1 ").arg(inet::ErrReplyTooLarge)));
}

TEST_F(UpdateDownloadTest, BrokenTitleInTheFirstBytesIsAFetchError)
{
    serveFile(QStringLiteral("/f"), "<title>never closed, binary follows");
    offer(fileEntry("/f", "f"));
    check->DownloadUpdate();
    EXPECT_TRUE(entries().isEmpty());
    EXPECT_TRUE(logHas(QStringLiteral("Error in startdownload: %1 ").arg(ErrInvalidArgument)));
}

TEST_F(UpdateDownloadTest, ListThatFailedPartWayOffersOnlyTheEntriesBeforeTheFault)
{
    serveFile(QStringLiteral("/a"), "A");
    offer(fileEntry("/a", "a"));
    serveCheck(offerReply(fileEntry("/a", "a") + "<file><url>/b</url></file>"));
    check->CheckForUpdate();
    ASSERT_EQ(check->updateUrls().count(), 2);
    box.clear();
    check->DownloadUpdate();
    EXPECT_EQ(server.count(QStringLiteral("/b")), 0);
    EXPECT_EQ(dir.read(QStringLiteral("a.upd")), QByteArray("A"));
    EXPECT_EQ(box.last().text, kFinished);
}

TEST_F(UpdateDownloadTest, UpdatedProgramKeepsTheModeOfTheFileItReplaces)
{
    serveFile(QStringLiteral("/k"), "new program");
    serveFile(QStringLiteral("/n"), "new data");
    dir.write(QStringLiteral("kivo"), "old program");
    QFile::setPermissions(dir.file(QStringLiteral("kivo")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    offer(fileEntry("/k", "kivo") + fileEntry("/n", "notes.txt"));
    check->DownloadUpdate();
    EXPECT_TRUE(QFile::permissions(dir.file(QStringLiteral("kivo.upd"))) & QFile::ExeOwner);
    const auto fresh = QFile::permissions(dir.file(QStringLiteral("notes.txt.upd")));
    EXPECT_TRUE(fresh & QFile::ReadOther);
    EXPECT_FALSE(fresh & QFile::ExeOwner);
}

TEST(UpdateFileName, OnlyRelativeNamesWithAtMostOneFolder)
{
    for (const char *ok : {"kivo", "lang.dbl", "help/index.html", "a.b.c", ".hidden", "x/.y"}) {
        SCOPED_TRACE(ok);
        EXPECT_NO_THROW(CheckUpdateFileName(QString::fromLatin1(ok)));
    }
    for (const char *bad :
         {"", "/abs", "..", "a/..", "a\\b", "c:x", "Z:\\x", "a/b/c", "dir/", "a\tb", "a\x7f", "d:/x"}) {
        SCOPED_TRACE(bad);
        try {
            CheckUpdateFileName(QString::fromLatin1(bad));
            ADD_FAILURE() << "accepted";
        } catch (const RuntimeError &e) {
            EXPECT_EQ(e.number(), ErrBadFileName);
        }
    }
}
