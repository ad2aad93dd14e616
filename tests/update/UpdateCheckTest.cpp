// The check against a local update server: the request, the answers, the status text and the boxes.
#include "UpdateRig.h"
#include "platform/InternetTransfer.h"
#include "support/FakeInternetTransfer.h"

#include <QHostAddress>
#include <QTcpServer>

using namespace orvia;
using namespace orvia::test;

namespace {

const QString kErrorBox = QStringLiteral("Error while connecting to the update server. Please retry later.");

class UpdateCheckTest : public UpdateRig
{
protected:
    void TearDown() override { check.reset(); } // before the scripted transfer it may listen to
    FakeInternetTransfer fake;
};

} // namespace

TEST_F(UpdateCheckTest, UpToDateAnswer)
{
    serveCheck("<update>\r\n<nothing/>\r\n</update>");
    check->CheckForUpdate();

    ASSERT_EQ(server.requests().size(), 1);
    EXPECT_EQ(server.requests().at(0), kUpdatePath + QStringLiteral("?app=kivo&version=1.0.165&lang=en"));
    EXPECT_EQ(squeezeDots(view.text),
              squeezeDots(QStringLiteral("\r\nConnecting to the remote server..."
                                         "...\r\nConnection established.\r\n"
                                         "The application is already up to date\r\n")));
    EXPECT_EQ(box.count(), 0);
    EXPECT_FALSE(view.enabled);
    EXPECT_EQ(view.caret, 20000);
    EXPECT_TRUE(logHas(QStringLiteral("Connecting to ") + server.host() + kUpdatePath));

    // The marker and the tags in any letter case.
    serveCheck("<UPDATE><NoThing/></uPdAtE>");
    check->CheckForUpdate();
    EXPECT_EQ(view.text.count(QStringLiteral("The application is already up to date")), 2);
    EXPECT_EQ(box.count(), 0);
}

TEST_F(UpdateCheckTest, NewVersionWithFilesInBothTagForms)
{
    serveCheck("<Update><TITLE>Orvia Link</title><Version=\"2.0.7\"/><downloadSize='3 MB'/>"
               "<FILES>\r\n<file><URL>/dl/kivo</url><Name=\"kivo\"/></FILE>\r\n"
               "<FILE><url=\"http://mirror.example/lang.dbl\"/><name>lang.dbl</name></file>\r\n</files>"
               "<whatsnew>\r\nBetter calendar\r\n</whatsnew><usrmsg>Thanks.</usrmsg></update>");
    check->CheckForUpdate();

    EXPECT_TRUE(view.enabled);
    EXPECT_EQ(box.count(), 0);
    EXPECT_TRUE(squeezeDots(view.text).endsWith(
        QStringLiteral("\r\nConnection established.\r\nUpdate for Orvia Link\r\n"
                       "New avaible version: 2.0.7\r\nDownload size: 3 MB\r\n"
                       "What's new: \r\nBetter calendar\r\nThanks.\r\n")))
        << view.text.toStdString();
    ASSERT_EQ(check->updateUrls().count(), 2);
    EXPECT_EQ(check->updateUrls().GetItem(0), QStringLiteral("/dl/kivo"));
    EXPECT_EQ(check->updateNames().GetItem(0), QStringLiteral("kivo"));
    EXPECT_EQ(check->updateUrls().GetItem(1), QStringLiteral("http://mirror.example/lang.dbl"));
    EXPECT_TRUE(logHas(QStringLiteral("<whatsnew>"))); // the whole reply is logged
}

TEST_F(UpdateCheckTest, ReplyWithoutUpdateIsRetriedOnce)
{
    server.routeOnce(kUpdatePath, LocalHttpServer::text("<nothing/>"));
    serveCheck("<update><nothing/></update>");
    check->CheckForUpdate();
    EXPECT_EQ(server.count(kUpdatePath), 2);
    EXPECT_TRUE(view.text.contains(QStringLiteral("already up to date")));
    EXPECT_FALSE(view.text.contains(QStringLiteral("Can't connect")));
}

TEST_F(UpdateCheckTest, TwoRepliesWithoutUpdateEndInTheStatusLineOnly)
{
    serveCheck("<nothing/>");
    check->CheckForUpdate();
    EXPECT_EQ(server.count(kUpdatePath), 2);
    EXPECT_TRUE(
        squeezeDots(view.text).endsWith(QStringLiteral("\r\nCan't connect to the update server\r\n")));
    EXPECT_FALSE(view.text.contains(QStringLiteral("Connection established")));
    EXPECT_EQ(box.count(), 0);
    EXPECT_TRUE(logHas(QStringLiteral("Can't connect to the update server: <nothing/>")));
}

TEST_F(UpdateCheckTest, IncompleteOfferShowsTheLinesSoFarThenTheBox)
{
    serveCheck("<update><title>Orvia Link</title><version>2.1</version><files></files></update>");
    check->CheckForUpdate();
    EXPECT_TRUE(view.text.contains(QStringLiteral("Update for Orvia Link\r\nNew avaible version: 2.1\r\n")));
    EXPECT_FALSE(view.text.contains(QStringLiteral("Download size")));
    ASSERT_EQ(box.count(), 1);
    EXPECT_EQ(box.last().text, kErrorBox);
    EXPECT_EQ(box.last().style, mb::OkOnly);
    EXPECT_FALSE(view.enabled);
    EXPECT_TRUE(logHas(QStringLiteral("Message error: <update><title>")));

    // After a good offer, a check failing before the files keeps the list and the button.
    offer(fileEntry("/a", "a"));
    serveCheck("<update><title>T</title></update>");
    check->CheckForUpdate();
    EXPECT_EQ(box.count(), 2);
    EXPECT_TRUE(view.enabled);
    EXPECT_EQ(check->updateNames().GetItem(0), QStringLiteral("a"));
}

TEST_F(UpdateCheckTest, BrokenReplyIsAnErrorBoxWithItsNumber)
{
    serveCheck("<update><title>unfinished");
    check->CheckForUpdate();
    ASSERT_EQ(box.count(), 1);
    EXPECT_EQ(box.last().text, kErrorBox);
    EXPECT_TRUE(logHas(QStringLiteral("Message error: Error in connectforupdate: 5 ")));

    // Binary rubbish is no update element: two tries, then the status line.
    box.clear();
    server.route(kUpdatePath,
                 LocalHttpServer::text(QByteArray("\0\x01\xff\xfe<\0u", 8) + QByteArray(5000, '\x80')));
    check->CheckForUpdate();
    EXPECT_EQ(box.count(), 0);
    EXPECT_TRUE(view.text.endsWith(QStringLiteral("Can't connect to the update server\r\n")));
}

TEST_F(UpdateCheckTest, UnreachableServerIsAnErrorBox)
{
    quint16 port = 0;
    {
        QTcpServer probe; // a port that was free a moment ago refuses connections now
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
        port = probe.serverPort();
    }
    settings.set(kUpdateHostKey, QStringLiteral("127.0.0.1:%1").arg(port));
    check->CheckForUpdate();
    ASSERT_EQ(box.count(), 1);
    EXPECT_EQ(box.last().text, kErrorBox);
    EXPECT_TRUE(
        logHas(QStringLiteral("Message error: Error in connectforupdate: %1 ").arg(inet::ErrCannotConnect)));
    EXPECT_TRUE(logHas(QStringLiteral("Inet Error")));
    EXPECT_FALSE(view.enabled);
}

TEST_F(UpdateCheckTest, PlaceholderServerIsNamedAsNotSetWithoutARequest)
{
    const QString notSet = QStringLiteral(
        "The update server is not set. Name it with update_host in the settings file (see the README).");
    for (const QString &host : {kDefaultUpdateHost, QStringLiteral("updates.example.INVALID:8080")}) {
        settings.set(kUpdateHostKey, host);
        box.clear();
        check->CheckForUpdate();
        ASSERT_EQ(box.count(), 1) << host.toStdString();
        EXPECT_EQ(box.last().text, notSet);
        EXPECT_TRUE(view.text.endsWith(QStringLiteral("\r\n") + notSet + QStringLiteral("\r\n")));
        EXPECT_TRUE(logHas(QStringLiteral("Update server not set: ") + host));
        EXPECT_FALSE(view.enabled);
    }
    EXPECT_TRUE(server.requests().isEmpty());
}

TEST_F(UpdateCheckTest, OversizedReplyIsAnErrorBox)
{
    server.route(kUpdatePath, LocalHttpServer::text(QByteArray(inet::kMaxTextReplyBytes + 1, 'a')));
    check->CheckForUpdate();
    ASSERT_EQ(box.count(), 1);
    EXPECT_TRUE(logHas(QStringLiteral("Error in connectforupdate: %1 ").arg(inet::ErrReplyTooLarge)));
}

TEST_F(UpdateCheckTest, SiblingProductAndLanguageInTheRequest)
{
    globals().gLanguage = QStringLiteral("fr");
    check->setAppTitle(QStringLiteral("Velmora Other"));
    serveCheck("<update><nothing/></update>");
    check->CheckForUpdate();
    EXPECT_EQ(server.requests().value(0), kUpdatePath + QStringLiteral("?app=melu&version=1.0.165&lang=fr"));
    EXPECT_EQ(check->appCode(), QStringLiteral("melu"));

    EXPECT_EQ(UpdateCheck::versionText(QStringLiteral("2.3")), QStringLiteral("2.3.0"));
    EXPECT_EQ(UpdateCheck::versionText(QString()), QStringLiteral("0.0.0"));
}

TEST_F(UpdateCheckTest, FaultyCheckAfterAGoodOneKeepsTheButtonAndThePartialList)
{
    offer(fileEntry("/a", "a") + fileEntry("/b", "b"));
    serveCheck(offerReply(fileEntry("/c", "c") + "<file><url>/d</url></file>"));
    check->CheckForUpdate();
    EXPECT_EQ(box.count(), 1);
    EXPECT_TRUE(view.enabled);
    EXPECT_EQ(check->updateUrls().count(), 2);
    EXPECT_EQ(check->updateNames().count(), 1);
    EXPECT_EQ(check->updateNames().GetItem(0), QStringLiteral("c"));
}

TEST_F(UpdateCheckTest, StatusAccumulatesUntilTheReset)
{
    serveCheck("<update><nothing/></update>");
    check->CheckForUpdate();
    check->CheckForUpdate();
    EXPECT_EQ(view.text.count(QStringLiteral("Connection established.")), 2);
    view.enabled = true;
    check->ResetUpdateTab();
    EXPECT_TRUE(view.text.isEmpty());
    EXPECT_FALSE(view.enabled);
}

// Exact state points, time-outs and failures, through the scripted transfer.
TEST_F(UpdateCheckTest, OnePointPerStateAndTenSecondsPerTry)
{
    check = std::make_unique<UpdateCheck>(deps(&fake));
    check->setProgramVersion(QStringLiteral("1.0.165"));
    fake.queueText(QStringLiteral("no answer"));
    fake.queueText(QStringLiteral("<update><nothing/></update>"));
    check->CheckForUpdate();
    EXPECT_EQ(view.text,
              QStringLiteral("\r\nConnecting to the remote server...") + QString(10, QLatin1Char('.')) +
                  QStringLiteral("\r\nConnection established.\r\nThe application is already up to date\r\n"));
    EXPECT_EQ(fake.timeouts(), QList<int>({10, 10}));
    EXPECT_TRUE(logHas(QStringLiteral("Resolving Host...")));
    EXPECT_TRUE(logHas(QStringLiteral("Receiving response...")));
    EXPECT_TRUE(logHas(QStringLiteral("Inet state: 12")));
}

TEST_F(UpdateCheckTest, TimedOutRequestIsAnErrorBox)
{
    check = std::make_unique<UpdateCheck>(deps(&fake));
    fake.queueError(inet::ErrTimedOut);
    check->CheckForUpdate();
    ASSERT_EQ(box.count(), 1);
    EXPECT_EQ(fake.urls().size(), 1); // a failure is not retried
    EXPECT_TRUE(logHas(QStringLiteral("Error in connectforupdate: %1 ").arg(inet::ErrTimedOut)));
}
