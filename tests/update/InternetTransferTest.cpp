// The internet transfer on a local server: replies of any status, the header, text decoding, states,
// and every way a request can fail without hanging.
#include "LocalHttpServer.h"
#include "platform/QtInternetTransfer.h"
#include "platform/RuntimeError.h"
#include "support/ErrorOf.h"
#include "support/ManualTime.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTimer>
#include <gtest/gtest.h>

using namespace orvia;
using namespace orvia::test;

namespace {

class InternetTransferTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        inet.setRequestTimeout(10);
        inet.setOnStateChanged([this](int s) { states << s; });
    }
    LocalHttpServer server;
    QtInternetTransfer inet;
    QList<int> states;
};

} // namespace

TEST_F(InternetTransferTest, BytesHeaderAndStates)
{
    QByteArray body(70000, '\0');
    for (int i = 0; i < body.size(); ++i)
        body[i] = char(i % 251);
    LocalHttpServer::Response r = LocalHttpServer::text(body);
    r.headers.append(qMakePair(QByteArray("X-Note"), QByteArray("kept")));
    server.route(QStringLiteral("/f"), r);

    EXPECT_EQ(inet.openUrlBytes(server.url(QStringLiteral("/f"))), body);
    const QString header = inet.getHeader();
    EXPECT_TRUE(header.startsWith(QStringLiteral("HTTP/1.1 200 OK\r\n"))) << header.toStdString();
    EXPECT_TRUE(header.contains(QStringLiteral("X-Note: kept\r\n")));
    ASSERT_FALSE(states.isEmpty());
    EXPECT_EQ(states.first(), inet::Resolving);
    EXPECT_TRUE(states.contains(inet::Receiving));
    EXPECT_EQ(states.last(), inet::ResponseCompleted);
}

TEST_F(InternetTransferTest, ErrorStatusStillGivesItsPageAndStatusLine)
{
    EXPECT_TRUE(
        inet.openUrlText(server.url(QStringLiteral("/nowhere"))).contains(QStringLiteral("<title>404")));
    EXPECT_EQ(inet.getHeader().mid(9, 3), QStringLiteral("404"));
    server.route(QStringLiteral("/boom"),
                 LocalHttpServer::text("<title>down</title>", 503, "Service Unavailable"));
    EXPECT_EQ(inet.openUrlBytes(server.url(QStringLiteral("/boom"))), QByteArray("<title>down</title>"));
    EXPECT_TRUE(inet.getHeader().startsWith(QStringLiteral("HTTP/1.1 503")));
}

TEST_F(InternetTransferTest, TextIsUtf8OnlyWhenTheServerSaysSo)
{
    LocalHttpServer::Response r = LocalHttpServer::text("caf\xc3\xa9");
    r.headers = {{"Content-Type", "text/xml; Charset=\"UTF-8\""}};
    server.route(QStringLiteral("/u"), r);
    server.route(QStringLiteral("/w"), LocalHttpServer::text("caf\xe9 \x80"));
    EXPECT_EQ(inet.openUrlText(server.url(QStringLiteral("/u"))), QString::fromUtf8("caf\xc3\xa9"));
    EXPECT_EQ(inet.openUrlText(server.url(QStringLiteral("/w"))),
              QString::fromUtf8("caf\xc3\xa9 \xe2\x82\xac"));
}

TEST_F(InternetTransferTest, ARequestEndsAtItsTimeOutWhetherSilentOrTrickling)
{
    LocalHttpServer::Response silent;
    silent.mode = LocalHttpServer::Response::Silent;
    server.route(QStringLiteral("/silent"), silent);
    // A reply that has begun, and so made progress, but is not finished.
    LocalHttpServer::Response trickle = LocalHttpServer::text(QByteArray(5000, 't'));
    trickle.mode = LocalHttpServer::Response::Stalled;
    trickle.cutAt = 10;
    server.route(QStringLiteral("/trickle"), trickle);
    const struct
    {
        QString path;
        int waitFor; // the state after which the clock moves on
    } rows[] = {{QStringLiteral("/silent"), inet::RequestSent},
                {QStringLiteral("/trickle"), inet::Receiving}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.path.toStdString());
        ManualTime time;
        QtInternetTransfer timed(&time);
        timed.setRequestTimeout(3600);
        QList<int> seen;
        bool endedOnTime = false;
        timed.setOnStateChanged([&](int s) {
            seen << s;
            if (s != row.waitFor)
                return;
            QTimer::singleShot(0, [&] {
                time.advance(qint64(3600) * 1000);
                endedOnTime = time.activeTimers() == 0;
                if (!endedOnTime)
                    time.advance(qint64(3600) * 1000 * 100); // end it anyway, so that the test fails
            });
        });
        EXPECT_EQ(errorOf([&] { timed.openUrlBytes(server.url(row.path)); }), inet::ErrTimedOut);
        EXPECT_TRUE(endedOnTime);
        EXPECT_EQ(seen.last(), inet::Error);
        EXPECT_EQ(time.activeTimers(), 0);
    }
}

TEST_F(InternetTransferTest, RedirectsAreRefusedWithoutFetchingWhereTheyPoint)
{
    LocalHttpServer other;
    other.route(QStringLiteral("/f"), LocalHttpServer::text("from elsewhere"));
    server.route(QStringLiteral("/f"), LocalHttpServer::text("file"));
    server.route(QStringLiteral("/same"),
                 LocalHttpServer::redirect(server.url(QStringLiteral("/f")).toLatin1()));
    server.route(QStringLiteral("/relative"), LocalHttpServer::redirect("/f", 301));
    server.route(QStringLiteral("/port"),
                 LocalHttpServer::redirect(other.url(QStringLiteral("/f")).toLatin1()));
    server.route(QStringLiteral("/host"), LocalHttpServer::redirect("http://elsewhere.invalid/f", 307));
    for (const QString &path : {QStringLiteral("/host"), QStringLiteral("/port"), QStringLiteral("/same"),
                                QStringLiteral("/relative")}) {
        SCOPED_TRACE(path.toStdString());
        states.clear();
        EXPECT_EQ(errorOf([&] { inet.openUrlBytes(server.url(path)); }), inet::ErrTransferFailed);
        EXPECT_EQ(states.last(), inet::Error);
    }
    EXPECT_TRUE(other.requests().isEmpty());
    EXPECT_EQ(server.count(QStringLiteral("/f")), 0);
}

TEST_F(InternetTransferTest, BrokenRepliesAreErrors)
{
    // Fewer bytes than announced.
    LocalHttpServer::Response cut = LocalHttpServer::text(QByteArray(3000, 'x'));
    cut.mode = LocalHttpServer::Response::CutShort;
    cut.cutAt = 100;
    server.route(QStringLiteral("/cut"), cut);
    EXPECT_EQ(errorOf([&] { inet.openUrlBytes(server.url(QStringLiteral("/cut"))); }),
              inet::ErrTransferFailed);

    // Not HTTP at all.
    LocalHttpServer::Response junk;
    junk.mode = LocalHttpServer::Response::Raw;
    junk.body = QByteArray("\x00\x01garbage\xff\r\n\r\n", 15);
    server.route(QStringLiteral("/junk"), junk);
    EXPECT_NE(errorOf([&] { inet.openUrlBytes(server.url(QStringLiteral("/junk"))); }), 0);

    // Closed without a word.
    LocalHttpServer::Response none;
    none.mode = LocalHttpServer::Response::Raw;
    server.route(QStringLiteral("/none"), none);
    EXPECT_EQ(errorOf([&] { inet.openUrlBytes(server.url(QStringLiteral("/none"))); }),
              inet::ErrTransferFailed);
}

TEST_F(InternetTransferTest, OversizedRepliesAreCutOff)
{
    inet.setMaxDownloadBytes(1000);
    server.route(QStringLiteral("/big"), LocalHttpServer::text(QByteArray(1001, 'b')));
    server.route(QStringLiteral("/fits"), LocalHttpServer::text(QByteArray(1000, 'b')));
    EXPECT_EQ(errorOf([&] { inet.openUrlBytes(server.url(QStringLiteral("/big"))); }),
              inet::ErrReplyTooLarge);
    EXPECT_EQ(inet.openUrlBytes(server.url(QStringLiteral("/fits"))).size(), 1000);

    // Without an announced length the count still stops it.
    LocalHttpServer::Response raw;
    raw.mode = LocalHttpServer::Response::Raw;
    raw.body = "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + QByteArray(5000, 'r');
    server.route(QStringLiteral("/raw"), raw);
    EXPECT_EQ(errorOf([&] { inet.openUrlBytes(server.url(QStringLiteral("/raw"))); }),
              inet::ErrReplyTooLarge);
}

TEST_F(InternetTransferTest, OnlyWebAddressesAreFetched)
{
    EXPECT_EQ(errorOf([&] { inet.openUrlBytes(QStringLiteral("file:///etc/passwd?http://x")); }),
              inet::ErrUnsupportedScheme);
    EXPECT_EQ(errorOf([&] { inet.openUrlBytes(QStringLiteral("/relative/only")); }), inet::ErrBadUrl);
    EXPECT_EQ(errorOf([&] { inet.openUrlBytes(QStringLiteral("http://")); }), inet::ErrBadUrl);
    EXPECT_TRUE(server.requests().isEmpty());
}

TEST_F(InternetTransferTest, RefusedConnectionAndNoProxy)
{
    quint16 port = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
        port = probe.serverPort();
    }
    EXPECT_EQ(errorOf([&] { inet.openUrlBytes(QStringLiteral("http://127.0.0.1:%1/x").arg(port)); }),
              inet::ErrCannotConnect);

    // A proxy in the environment is not used: the request reaches the server itself.
    qputenv("http_proxy", QStringLiteral("http://127.0.0.1:%1").arg(port).toLatin1());
    QtInternetTransfer direct;
    server.route(QStringLiteral("/d"), LocalHttpServer::text("direct"));
    EXPECT_EQ(direct.openUrlBytes(server.url(QStringLiteral("/d"))), QByteArray("direct"));
    qunsetenv("http_proxy");
}

TEST_F(InternetTransferTest, SecondRequestWhileOneRunsIsRefused)
{
    server.route(QStringLiteral("/a"), LocalHttpServer::text("a"));
    int inner = -1;
    inet.setOnStateChanged([&](int s) {
        if (s == inet::Resolving && inner < 0)
            inner = errorOf([&] { inet.openUrlBytes(server.url(QStringLiteral("/a"))); });
    });
    EXPECT_EQ(inet.openUrlBytes(server.url(QStringLiteral("/a"))), QByteArray("a"));
    EXPECT_EQ(inner, inet::ErrBusy);
    EXPECT_EQ(server.count(QStringLiteral("/a")), 1);
}
