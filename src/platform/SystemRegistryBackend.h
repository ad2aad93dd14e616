#pragma once
// The registry as the system shows it here: the keys the program reads are made from the port map at
// every open. "HKEY_LOCAL_MACHINE\hardware\devicemap\serialcomm" holds one REG_SZ value per mapped port
// ("\device\serial0" = "COM1", ...), and when an infrared port is mapped
// "HKEY_LOCAL_MACHINE\Enum\Root\Infrared\0000" holds "VirtualComPortName" = its "COMn".
#include "platform/MemoryRegistry.h"
#include "platform/PortMap.h"

namespace orvia {

class SystemRegistryBackend : public MemoryRegistry
{
public:
    explicit SystemRegistryBackend(const PortMap &ports);
    long openKey(std::uint32_t root, const QString &subKey, std::uint32_t access,
                 std::uint32_t &hKey) override;

    static const QString kSerialCommKey;
    static const QString kInfraredKey;

private:
    void refresh();
    const PortMap &m_ports;
};

} // namespace orvia
