#pragma once
// The real platform services of a running program, built once in main() and handed on as a Platform.
#include "platform/IniSettingsStore.h"
#include "platform/Platform.h"
#include "platform/PortMap.h"
#include "platform/QtTimerFactory.h"
#include "platform/SerialCommControl.h"
#include "platform/SystemRegistryBackend.h"
#include "platform/SystemServicesPosix.h"
#include <memory>

namespace orvia {

class SystemPlatform
{
public:
    // `messageBox`: the program's boxes (the widget box, or the standard-error box without a display).
    explicit SystemPlatform(IMessageBox *messageBox);

    Platform &platform() { return m_platform; }
    const PortMap &ports() const { return m_ports; }
    std::unique_ptr<SerialCommControl> createCommControl() const;

private:
    QtTimerFactory m_timers;
    SystemClock m_clock;
    QtMessageLoop m_loop;
    IniSettingsStore m_settings;
    SystemServices m_system;
    PortMap m_ports;
    SystemRegistryBackend m_registry;
    Platform m_platform;
};

} // namespace orvia
