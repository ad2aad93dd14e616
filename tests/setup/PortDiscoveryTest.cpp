// Port discovery: which registry values become ports and buttons, the infrared port, and the port
// test that keeps only the ports that open.
#include "DetectionRig.h"
#include "ScriptedPort.h"
#include "common/Globals.h"

using namespace orvia;
using namespace orvia::test;

namespace {

const QString kSerialKey = QStringLiteral("hardware\\devicemap\\serialcomm");
const QString kIrKey = QStringLiteral("Enum\\Root\\Infrared\\0000");

// Compared as standard vectors: comparing two empty lists of numbers trips the sanitizer inside Qt.
std::vector<qint16> vec(const QList<qint16> &l)
{
    return std::vector<qint16>(l.begin(), l.end());
}

std::vector<qint16> vec(const QList<ComPort> &l)
{
    std::vector<qint16> out;
    for (const ComPort p : l)
        out.push_back(p.number);
    return out;
}

struct Discovery : DetectionRig
{
    ScriptedPort port;
    void SetUp() override
    {
        DetectionRig::SetUp();
        build(&port);
    }
    void value(const QString &name, const QString &text)
    {
        registry.setString(reg::HKLM, kSerialKey, name, text);
    }
};

TEST_F(Discovery, SystemVersionChoosesTheValueNames)
{
    // Both naming schemes are present; the version decides which one is read.
    for (int d = 0; d < 3; ++d) {
        value(QStringLiteral("\\device\\serial%1").arg(d), QStringLiteral("COM%1").arg(d + 1));
        value(QStringLiteral("COM%1").arg(d), QStringLiteral("COM%1").arg(d + 5));
    }
    struct Case
    {
        int major, minor;
        QList<qint16> ports;
    };
    for (const Case &c : {Case{5, 1, {1, 2, 3}}, Case{6, 1, {1, 2, 3}}, Case{10, 0, {1, 2, 3}},
                          Case{4, 0, {5, 6, 7}}, Case{3, 51, QList<qint16>()}}) {
        SCOPED_TRACE(c.major);
        page = FakePage();
        system.setVersion(c.major, c.minor);
        det->enumeratePorts();
        EXPECT_EQ(vec(det->portList()), vec(c.ports));
        EXPECT_EQ(page.visibleButtons(), int(c.ports.size()));
    }
    EXPECT_EQ(registry.openHandles(), 0) << "every key read is closed again";
}

TEST_F(Discovery, OnlyFourCharacterUpperCaseComValuesAreAccepted)
{
    const QStringList texts = {QStringLiteral("COM12"), QStringLiteral("com3"), QStringLiteral("COM0"),
                               QStringLiteral("COMX"),  QStringLiteral("COM4"), QStringLiteral("COM4"),
                               QStringLiteral("LPT1"),  QStringLiteral("COM"),  QStringLiteral("COM7")};
    for (int d = 0; d < texts.size(); ++d)
        value(QStringLiteral("\\device\\serial%1").arg(d), texts[d]);
    registry.setValue(reg::HKLM, kSerialKey, QStringLiteral("\\device\\serial9"), reg::Sz,
                      "COM9\0"); // never read
    det->enumeratePorts();
    EXPECT_EQ(det->portList(), comPorts({0, 4, 4, 7}));
    EXPECT_EQ(page.captions[1], QStringLiteral("Com 0"));
    EXPECT_EQ(page.tags[2], QStringLiteral("4"));
    EXPECT_EQ(page.tags[3], QStringLiteral("4")) << "a repeated port gets a second button";
    EXPECT_EQ(page.captions[4], QStringLiteral("Com 7"));
    EXPECT_FALSE(page.visible[5]);
}

TEST_F(Discovery, InfraredPortIsReadFromItsOwnKey)
{
    struct Case
    {
        const char *text;
        qint16 port;
    };
    for (const Case &c : {Case{"COM5", 5}, Case{"com6", 6}, Case{"Com", 0}, Case{"LPT2", 0}, Case{"", 0}}) {
        SCOPED_TRACE(c.text);
        registry.setString(reg::HKLM, kIrKey, QStringLiteral("VirtualComPortName"),
                           QString::fromLatin1(c.text));
        det->enumeratePorts();
        EXPECT_EQ(det->irdaPort().value_or(ComPort()).number, c.port);
    }
    registry.removeKey(reg::HKLM, kIrKey);
    det->enumeratePorts();
    EXPECT_FALSE(det->irdaPort());
}

TEST_F(Discovery, PortTestKeepsTheOpeningPortsUpToEight)
{
    for (int d = 0; d <= 8; ++d)
        value(QStringLiteral("\\device\\serial%1").arg(d), QStringLiteral("COM%1").arg(d + 1));
    port.absent = {2};
    det->enumeratePorts();
    det->Init(*fm);
    EXPECT_EQ(det->portList().size(), 9) << "the ninth port has no button but is listed";
    EXPECT_EQ(page.visibleButtons(), 8);
    EXPECT_EQ(det->availPorts(), comPorts({1, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_FALSE(port.portOpen());
    for (int k = 1; k <= 8; ++k)
        EXPECT_TRUE(page.enabled[size_t(k)]) << k;

    port.absent = {1, 3, 4, 5, 6, 7, 8, 9};
    port.setCommPort(2);
    port.setPortOpen(true); // e.g. the link of a connected phone: closed for the test, then tested
    det->DetectPorts();
    EXPECT_EQ(det->availPorts(), comPorts({2}));
    EXPECT_TRUE(
        globals().gLog.recentLines().join(QLatin1Char('\n')).contains(QStringLiteral("Avaible port COM2")));
}

TEST(SavedPort, IsReadFromTheLastCharacterAndSavedAsComSpaceNumber)
{
    struct Case
    {
        const char *saved;
        qint16 port;
    };
    for (const Case &c :
         {Case{"Com 3", 3}, Case{"COM12", 2}, Case{"7", 7}, Case{"Com 3 ", 0}, Case{"Com", 0}, Case{"", 0}}) {
        SCOPED_TRACE(c.saved);
        EXPECT_EQ(ComPort::fromSetting(QString::fromLatin1(c.saved)).number, c.port);
    }
    EXPECT_EQ(ComPort(3).settingText(), QStringLiteral("Com 3"));
    EXPECT_EQ(ComPort::fromSetting(ComPort(9).settingText()), ComPort(9));
}

TEST_F(Discovery, NoPortsAtAllEndsTheScanAtOnce)
{
    system.setVersion(3, 51);
    start();
    det->Connect(ComPort::allPorts());
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_TRUE(boxes.last().text.startsWith(QStringLiteral("No phone found.")));
    EXPECT_EQ(port.opens, 0);
    EXPECT_TRUE(page.shown);
}

} // namespace
