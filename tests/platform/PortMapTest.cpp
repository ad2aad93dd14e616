#include "platform/PortMap.h"
#include "platform/SerialDevices.h"
#include "support/MemorySettingsStore.h"
#include "support/TempDir.h"
#include <gtest/gtest.h>

using namespace orvia;
using namespace orvia::test;

TEST(SerialDevices, ListsRealUartsAndAdaptersInNaturalOrder)
{
    TempDir root;
    const QString dev = root.mkdir(QStringLiteral("dev"));
    const QString sys = root.mkdir(QStringLiteral("sys"));
    for (const char *n : {"ttyS0", "ttyS1", "ttyS2", "ttyS10", "ttyUSB10", "ttyUSB2", "ttyACM0", "rfcomm0",
                          "tty0", "ttyprintk", "ircomm0", "console"})
        root.write(QStringLiteral("dev/") + QLatin1String(n));
    root.write(QStringLiteral("sys/ttyS0/type"), "4\n");
    root.write(QStringLiteral("sys/ttyS1/type"), "0\n"); // no UART behind it
    root.write(QStringLiteral("sys/ttyS10/type"), "4\n");
    // ttyS2 has no sysfs entry at all: not a known UART either.
    const QStringList got = scanSerialDevices(dev, sys);
    QStringList want;
    for (const char *n : {"ircomm0", "rfcomm0", "ttyACM0", "ttyS0", "ttyS10", "ttyUSB2", "ttyUSB10"})
        want << dev + QLatin1Char('/') + QLatin1String(n);
    EXPECT_EQ(got, want);
    EXPECT_TRUE(isInfraredDevice(dev + QStringLiteral("/ircomm0")));
    EXPECT_FALSE(isInfraredDevice(dev + QStringLiteral("/ttyS0")));
    EXPECT_TRUE(scanSerialDevices(root.file(QStringLiteral("missing")), sys).isEmpty());
}

TEST(PortMap, PinnedPortsKeepTheirNumbersAndDevicesFillTheRest)
{
    MemorySettingsStore settings;
    const QString ports = QStringLiteral("ports");
    settings.save(kSettingsApp, ports, QStringLiteral("COM2"), QStringLiteral("/dev/pts/4"));
    settings.save(kSettingsApp, ports, QStringLiteral("com4"), QStringLiteral(" /dev/ttyUSB0 "));
    settings.save(kSettingsApp, ports, QStringLiteral("COM0"), QStringLiteral("/dev/x"));   // no such number
    settings.save(kSettingsApp, ports, QStringLiteral("COMx"), QStringLiteral("/dev/y"));   // not a number
    settings.save(kSettingsApp, ports, QStringLiteral("COM300"), QStringLiteral("/dev/z")); // out of range
    settings.save(kSettingsApp, ports, QStringLiteral("COM5"), QString());                  // empty pin
    PortMap map(&settings, [] {
        return QStringList{QStringLiteral("/dev/ttyACM0"), QStringLiteral("/dev/ttyS0"),
                           QStringLiteral("/dev/ttyUSB0"), QStringLiteral("/dev/ttyUSB1")};
    });
    QMap<int, QString> want;
    want.insert(1, QStringLiteral("/dev/ttyACM0"));
    want.insert(2, QStringLiteral("/dev/pts/4"));
    want.insert(3, QStringLiteral("/dev/ttyS0"));
    want.insert(4, QStringLiteral("/dev/ttyUSB0")); // pinned, not listed twice
    want.insert(5, QStringLiteral("/dev/ttyUSB1"));
    EXPECT_EQ(map.ports(), want);
    EXPECT_EQ(map.devicePath(2), QStringLiteral("/dev/pts/4"));
    EXPECT_EQ(map.devicePath(9), QString());
    EXPECT_EQ(map.portOf(QStringLiteral("/dev/ttyUSB1")), 5);
    EXPECT_EQ(map.portOf(QStringLiteral("/dev/none")), 0);

    PortMap noSettings(nullptr, [] { return QStringList{QStringLiteral("/dev/ttyUSB0")}; });
    EXPECT_EQ(noSettings.devicePath(1), QStringLiteral("/dev/ttyUSB0"));
}
