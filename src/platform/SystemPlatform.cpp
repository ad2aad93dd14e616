#include "platform/SystemPlatform.h"

namespace orvia {

SystemPlatform::SystemPlatform(IMessageBox *messageBox)
    : m_system(&m_timers), m_ports(&m_settings), m_registry(m_ports)
{
    m_platform.timers = &m_timers;
    m_platform.clock = &m_clock;
    m_platform.loop = &m_loop;
    m_platform.messageBox = messageBox;
    m_platform.settings = &m_settings;
    m_platform.system = &m_system;
    m_platform.registry = &m_registry;
}

std::unique_ptr<SerialCommControl> SystemPlatform::createCommControl() const
{
    return std::make_unique<SerialCommControl>(m_ports);
}

} // namespace orvia
