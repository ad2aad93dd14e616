#include "platform/SerialCommControl.h"
#include "platform/RuntimeError.h"
#include "support/ErrorOf.h"
#include "support/MemorySettingsStore.h"
#include "support/PtyPair.h"
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace orvia;
using namespace orvia::test;

namespace {

// Processes events until pred() holds, for at most `ms` of real time (the far end is real I/O).
bool pumpUntil(const std::function<bool()> &pred, int ms = 3000)
{
    QDeadlineTimer deadline(ms);
    while (!pred()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

class SerialCommControlTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(pty.ok());
        settings.save(kSettingsApp, QStringLiteral("ports"), QStringLiteral("COM3"), pty.slavePath());
        comm.setOnComm([this] {
            ++events;
            received += comm.input();
        });
        comm.setOnLinkLost([this](const QString &) { ++lost; });
    }
    // The order the main window uses to open a port.
    void openCom(SerialCommControl &c, int port = 3)
    {
        if (c.portOpen())
            c.setPortOpen(false);
        c.setCommPort(port);
        c.setSettings(QStringLiteral("57600,N,8,1"));
        c.setHandshaking(2);
        c.setRTSEnable(true);
        c.setRThreshold(1);
        c.setPortOpen(true);
    }

    PtyPair pty;
    MemorySettingsStore settings;
    PortMap ports{&settings, [] { return QStringList(); }};
    SerialCommControl comm{ports};
    int events = 0;
    int lost = 0;
    QString received;
};

} // namespace

TEST_F(SerialCommControlTest, SendsAndReceivesWindows1252InPieces)
{
    openCom(comm);
    ASSERT_TRUE(comm.portOpen());
    EXPECT_TRUE(comm.isPseudoTerminal());
    EXPECT_EQ(comm.settings(), QStringLiteral("57600,N,8,1"));

    comm.output(QStringLiteral("AT+CPBW=1,\"M\u00fcller \u20ac\"\r\n"));
    EXPECT_EQ(pty.readUntil("\r\n"), QByteArray("AT+CPBW=1,\"M\xfcller \x80\"\r\n"));

    pty.write("AT\r\r\n");
    ASSERT_TRUE(pumpUntil([&] { return received.size() >= 5; }));
    pty.write("\r\nOK");
    ASSERT_TRUE(pumpUntil([&] { return received.endsWith(QStringLiteral("OK")); }));
    pty.write("\r\n\x9c");
    ASSERT_TRUE(pumpUntil([&] { return received.endsWith(QChar(0x0153)); }));
    EXPECT_EQ(received, QStringLiteral("AT\r\r\n\r\nOK\r\n\u0153"));
    EXPECT_GE(events, 3);
    EXPECT_EQ(comm.input(), QString()); // the buffer was emptied by each read
    EXPECT_EQ(lost, 0);
}

TEST_F(SerialCommControlTest, InputCollectsEverythingWhenNoNotificationIsAsked)
{
    openCom(comm);
    comm.setRThreshold(0);
    pty.write("first ");
    pty.write("second");
    QString got;
    ASSERT_TRUE(pumpUntil([&] {
        got += comm.input();
        return got == QStringLiteral("first second");
    }));
    EXPECT_EQ(events, 0);
}

TEST_F(SerialCommControlTest, SecondOpenInThisProcessOrAnotherProgramGets8005)
{
    openCom(comm);
    EXPECT_EQ(errorOf([&] { comm.setPortOpen(true); }), ErrPortOpen);
    EXPECT_TRUE(comm.portOpen());

    SerialCommControl other(ports);
    EXPECT_EQ(errorOf([&] { openCom(other); }), ErrPortOpen);
    EXPECT_FALSE(other.portOpen());

    // Once the first closes, the other gets the port; and the first can reopen after that closes.
    comm.setPortOpen(false);
    EXPECT_NO_THROW(openCom(other));
    other.setPortOpen(false);
    EXPECT_NO_THROW(openCom(comm));
    pty.write("again");
    ASSERT_TRUE(pumpUntil([&] { return received == QStringLiteral("again"); }));
}

TEST_F(SerialCommControlTest, PortHeldByAnotherProcessGets8005)
{
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const QByteArray path = pty.slavePath().toLocal8Bit();
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Only async-signal-safe calls here: hold the device locked until killed.
        const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY);
        const char ok = (fd >= 0 && ::flock(fd, LOCK_EX) == 0) ? '1' : '0';
        (void)::write(ready[1], &ok, 1);
        for (;;)
            ::pause();
    }
    char ok = 0;
    ASSERT_EQ(::read(ready[0], &ok, 1), 1);
    EXPECT_EQ(ok, '1');
    EXPECT_EQ(errorOf([&] { openCom(comm); }), ErrPortOpen);
    EXPECT_FALSE(comm.portOpen());
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    ::close(ready[0]);
    ::close(ready[1]);
    EXPECT_NO_THROW(openCom(comm));
}

TEST_F(SerialCommControlTest, HangUpClosesThePortAndIsReportedOnce)
{
    openCom(comm);
    QString why;
    comm.setOnLinkLost([&](const QString &w) {
        ++lost;
        why = w;
        EXPECT_FALSE(comm.portOpen()); // closed before the report
    });
    pty.closeMaster();
    ASSERT_TRUE(pumpUntil([&] { return lost > 0; }));
    EXPECT_FALSE(comm.portOpen());
    EXPECT_FALSE(why.isEmpty());
    // No further reports and no busy loop of errors afterwards.
    pumpUntil([] { return false; }, 200);
    EXPECT_EQ(lost, 1);
    EXPECT_EQ(errorOf([&] { comm.output(QStringLiteral("AT\r\n")); }), ErrCommNotOpen);
    EXPECT_NO_THROW(comm.setPortOpen(false));
}

TEST_F(SerialCommControlTest, LossNoticedWhileSendingIsReportedLaterFromTheEventLoop)
{
    openCom(comm);
    pty.closeMaster();
    EXPECT_NO_THROW(comm.output(QStringLiteral("AT\r\n")));
    EXPECT_EQ(lost, 0); // never from inside the caller's own call
    ASSERT_TRUE(pumpUntil([&] { return lost > 0; }));
    pumpUntil([] { return false; }, 100);
    EXPECT_EQ(lost, 1);
    EXPECT_FALSE(comm.portOpen());
}

TEST_F(SerialCommControlTest, ReceiveHandlerMayCloseOrYield)
{
    openCom(comm);
    comm.setOnComm([&] {
        ++events;
        received += comm.input();
        QCoreApplication::processEvents(); // a handler that yields must not lose or repeat text
        if (received.contains(QLatin1Char('!')))
            comm.setPortOpen(false);
    });
    for (int i = 0; i < 20; ++i)
        pty.write("x");
    pty.write("!");
    ASSERT_TRUE(pumpUntil([&] { return !comm.portOpen(); }));
    EXPECT_EQ(received, QString(20, QLatin1Char('x')) + QLatin1Char('!'));
}

TEST_F(SerialCommControlTest, RejectsBadPropertiesAndUnmappedPorts)
{
    EXPECT_EQ(errorOf([&] { comm.setSettings(QStringLiteral("57600,N,8")); }), ErrInvalidPropertyValue);
    EXPECT_EQ(errorOf([&] { comm.setSettings(QStringLiteral("fast,N,8,1")); }), ErrInvalidPropertyValue);
    EXPECT_EQ(errorOf([&] { comm.setSettings(QStringLiteral("57600,X,8,1")); }), ErrInvalidPropertyValue);
    EXPECT_EQ(errorOf([&] { comm.setSettings(QStringLiteral("57600,N,9,1")); }), ErrInvalidPropertyValue);
    EXPECT_EQ(errorOf([&] { comm.setSettings(QStringLiteral("57600,N,8,3")); }), ErrInvalidPropertyValue);
    EXPECT_NO_THROW(comm.setSettings(QStringLiteral("9600,e,7,1.5")));
    EXPECT_EQ(comm.settings(), QStringLiteral("9600,E,7,1.5"));
    EXPECT_EQ(errorOf([&] { comm.setHandshaking(4); }), ErrInvalidPropertyValue);
    EXPECT_EQ(errorOf([&] { comm.setRThreshold(-1); }), ErrInvalidPropertyValue);
    EXPECT_EQ(errorOf([&] { comm.setCommPort(-1); }), ErrCommBadPort);
    EXPECT_EQ(errorOf([&] { comm.output(QStringLiteral("AT")); }), ErrCommNotOpen);

    EXPECT_EQ(errorOf([&] { openCom(comm, 7); }), ErrCommBadPort); // nothing mapped there
    settings.save(kSettingsApp, QStringLiteral("ports"), QStringLiteral("COM8"),
                  QStringLiteral("/dev/nonexistent-tty"));
    EXPECT_EQ(errorOf([&] { openCom(comm, 8); }), ErrCommBadPort);
    EXPECT_FALSE(comm.portOpen());

    openCom(comm, 3);
    EXPECT_EQ(errorOf([&] { comm.setCommPort(4); }), ErrCommOpenNow);
    EXPECT_EQ(comm.commPort(), 3);
}
