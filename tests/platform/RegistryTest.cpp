#include "common/RegTools.h"
#include "platform/PortMap.h"
#include "platform/SystemRegistryBackend.h"
#include "support/MemoryRegistryBackend.h"
#include "support/MemorySettingsStore.h"
#include <gtest/gtest.h>

using namespace orvia;
using namespace orvia::test;

namespace {
const QString kSerialComm = QStringLiteral("HKEY_LOCAL_MACHINE\\hardware\\devicemap\\serialcomm");
const QString kInfrared = QStringLiteral("HKEY_LOCAL_MACHINE\\Enum\\Root\\Infrared\\0000");
} // namespace

TEST(SplitRootKey, MatchesFullRootNamesInAnyCaseOnly)
{
    QString p = QStringLiteral("hkey_local_machine\\Hardware\\DeviceMap\\x");
    EXPECT_EQ(SplitRootKey(p), reg::HKLM);
    EXPECT_EQ(p, QStringLiteral("Hardware\\DeviceMap\\x"));

    const std::pair<const char *, std::uint32_t> roots[] = {
        {"HKEY_CLASSES_ROOT\\a", reg::HKCR},
        {"HKEY_CURRENT_USER\\a", reg::HKCU},
        {"HKEY_USERS\\a", reg::HKU},
        {"HKEY_PERFORMANCE_DATA\\a", reg::HKPD},
        {"HKEY_CURRENT_CONFIG\\a", reg::HKCC},
        {"HKEY_DYN_DATA\\a", reg::HKDD},
        {"HKLM\\a", reg::Invalid},
        {"HKEY_LOCAL_MACHINEX\\a", reg::Invalid},
        {" HKEY_USERS\\a", reg::Invalid},
        {"\\HKEY_USERS\\a", reg::Invalid},
    };
    for (const auto &[text, root] : roots) {
        QString k = QString::fromLatin1(text);
        EXPECT_EQ(SplitRootKey(k), root) << text;
    }
    // Only the first backslash splits; a path without one is all root.
    QString two = QStringLiteral("HKEY_USERS\\\\b");
    EXPECT_EQ(SplitRootKey(two), reg::HKU);
    EXPECT_EQ(two, QStringLiteral("\\b"));
    QString bare = QStringLiteral("HKEY_USERS");
    EXPECT_EQ(SplitRootKey(bare), reg::HKU);
    EXPECT_TRUE(bare.isEmpty());
}

class ReadRegStringTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const QString k = QStringLiteral("Software\\Test");
        reg.setString(reg::HKLM, k, QStringLiteral("text"), QStringLiteral("M\u00fcller \u20ac"));
        reg.setString(reg::HKLM, k, QStringLiteral("empty"), QString());
        reg.setValue(reg::HKLM, k, QStringLiteral("expand"), reg::ExpandSz, QByteArray("%TEMP%\0", 7));
        reg.setValue(reg::HKLM, k, QStringLiteral("dword"), reg::Dword, QByteArray("\1\0\0\0", 4));
        reg.setValue(reg::HKLM, k, QStringLiteral("nonul"), reg::Sz, QByteArray("COM4"));
        reg.setValue(reg::HKLM, k, QStringLiteral("twonul"), reg::Sz, QByteArray("COM5\0junk\0", 10));
        reg.setValue(reg::HKLM, k, QStringLiteral("zero"), reg::Sz, QByteArray());
    }
    bool read(const QString &key, const QString &value)
    {
        result = QStringLiteral("untouched");
        return ReadRegString(reg, key, value, result, QStringLiteral("dflt"));
    }
    MemoryRegistryBackend reg;
    QString result;
    const QString key = QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Test");
};

TEST_F(ReadRegStringTest, ReadsTextValuesUpToTheFirstNul)
{
    EXPECT_TRUE(read(key, QStringLiteral("text")));
    EXPECT_EQ(result, QStringLiteral("M\u00fcller \u20ac"));
    EXPECT_TRUE(read(key.toLower(), QStringLiteral("TEXT"))); // names without regard to case
    EXPECT_TRUE(read(key, QStringLiteral("empty")));
    EXPECT_EQ(result, QString());
    EXPECT_TRUE(read(key, QStringLiteral("twonul")));
    EXPECT_EQ(result, QStringLiteral("COM5"));
    EXPECT_TRUE(read(key, QStringLiteral("nonul")));
    EXPECT_EQ(result, QStringLiteral("COM4"));
    EXPECT_TRUE(read(key, QStringLiteral("zero")));
    EXPECT_EQ(result, QString());
    EXPECT_EQ(reg.openHandles(), 0);
}

TEST_F(ReadRegStringTest, EverythingElseGivesTheDefaultAndClosesTheKey)
{
    const std::pair<QString, QString> misses[] = {
        {key, QStringLiteral("expand")},
        {key, QStringLiteral("dword")},
        {key, QStringLiteral("missing")},
        {QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Nope"), QStringLiteral("text")},
        {QStringLiteral("HKLM\\Software\\Test"), QStringLiteral("text")},
        {QStringLiteral("HKEY_CURRENT_USER\\Software\\Test"), QStringLiteral("text")},
    };
    for (const auto &[k, v] : misses) {
        EXPECT_FALSE(read(k, v)) << qPrintable(k) << " " << qPrintable(v);
        EXPECT_EQ(result, QStringLiteral("dflt"));
    }
    EXPECT_EQ(reg.openHandles(), 0);
    EXPECT_EQ(reg.opens(), 3); // the key was opened for the three reads on an existing key
}

TEST(RegistryHandles, CloseAndQueryRejectUnknownHandles)
{
    MemoryRegistryBackend reg;
    std::uint32_t h = 0;
    EXPECT_EQ(reg.openKey(reg::Invalid, QStringLiteral("x"), 1, h), reg::InvalidHandle);
    EXPECT_TRUE(OpenRegKey(reg, QStringLiteral("HKEY_USERS\\"), h, 1)); // the root itself
    EXPECT_TRUE(CloseRegKey(reg, h));
    EXPECT_FALSE(CloseRegKey(reg, h));
    std::uint32_t type = 0;
    QByteArray data;
    EXPECT_EQ(reg.queryValue(h, QString(), type, data), reg::InvalidHandle);
}

TEST(SystemRegistry, ShowsMappedPortsAndTheInfraredPort)
{
    MemorySettingsStore settings;
    settings.save(kSettingsApp, QStringLiteral("ports"), QStringLiteral("COM3"),
                  QStringLiteral("/dev/pts/7"));
    QStringList devices{QStringLiteral("/dev/ttyUSB0"), QStringLiteral("/dev/ircomm0")};
    PortMap map(&settings, [&] { return devices; });
    SystemRegistryBackend reg(map);

    QString v;
    QStringList seen;
    for (int i = 0; i < 9; ++i)
        if (ReadRegString(reg, kSerialComm, QStringLiteral("\\device\\serial%1").arg(i), v, QString()))
            seen << v;
    EXPECT_EQ(seen, (QStringList{QStringLiteral("COM1"), QStringLiteral("COM2"), QStringLiteral("COM3")}));
    EXPECT_FALSE(ReadRegString(reg, kSerialComm, QStringLiteral("COM1"), v, QString()));
    EXPECT_TRUE(ReadRegString(reg, kInfrared, QStringLiteral("VirtualComPortName"), v, QString()));
    EXPECT_EQ(v, QStringLiteral("COM2"));

    // Devices come and go: every read sees the machine as it is now.
    devices = {QStringLiteral("/dev/ttyACM0")};
    EXPECT_FALSE(
        ReadRegString(reg, kInfrared, QStringLiteral("VirtualComPortName"), v, QStringLiteral("none")));
    EXPECT_EQ(v, QStringLiteral("none"));
    EXPECT_TRUE(ReadRegString(reg, kSerialComm, QStringLiteral("\\device\\serial1"), v, QString()));
    EXPECT_EQ(v, QStringLiteral("COM3"));
    EXPECT_EQ(reg.openHandles(), 0);
}

TEST(SystemRegistry, RealMachineGivesOnlyComValues)
{
    PortMap map(nullptr);
    SystemRegistryBackend reg(map);
    QString v;
    for (int i = 0; i < 9; ++i)
        if (ReadRegString(reg, kSerialComm, QStringLiteral("\\device\\serial%1").arg(i), v, QString())) {
            EXPECT_TRUE(v.startsWith(QStringLiteral("COM"))) << qPrintable(v);
        }
}
