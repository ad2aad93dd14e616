#include "platform/SystemRegistryBackend.h"
#include "platform/SerialDevices.h"

namespace orvia {

const QString SystemRegistryBackend::kSerialCommKey = QStringLiteral("hardware\\devicemap\\serialcomm");
const QString SystemRegistryBackend::kInfraredKey = QStringLiteral("Enum\\Root\\Infrared\\0000");

SystemRegistryBackend::SystemRegistryBackend(const PortMap &ports) : m_ports(ports) {}

void SystemRegistryBackend::refresh()
{
    clearKeys();
    addKey(reg::HKLM, kSerialCommKey);
    const QMap<int, QString> map = m_ports.ports();
    int index = 0;
    int infrared = 0;
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        setString(reg::HKLM, kSerialCommKey, QStringLiteral("\\device\\serial%1").arg(index++),
                  QStringLiteral("COM%1").arg(it.key()));
        if (!infrared && isInfraredDevice(it.value()))
            infrared = it.key();
    }
    if (infrared)
        setString(reg::HKLM, kInfraredKey, QStringLiteral("VirtualComPortName"),
                  QStringLiteral("COM%1").arg(infrared));
}

long SystemRegistryBackend::openKey(std::uint32_t root, const QString &subKey, std::uint32_t access,
                                    std::uint32_t &hKey)
{
    refresh();
    return MemoryRegistry::openKey(root, subKey, access, hKey);
}

} // namespace orvia
