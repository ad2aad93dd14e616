#pragma once
// The bundle of platform services handed to the engine, endpoints and shell at construction,
// so nothing reaches for a global. Tests fill it with doubles.
#include "platform/CommControl.h"
#include "platform/MessageBox.h"
#include "platform/RegistryBackend.h"
#include "platform/SettingsStore.h"
#include "platform/SystemServices.h"
#include "platform/Timer.h"

namespace orvia {

struct Platform
{
    ITimerFactory *timers = nullptr;
    IClock *clock = nullptr;
    IMessageLoop *loop = nullptr;
    IMessageBox *messageBox = nullptr;
    ISettingsStore *settings = nullptr;
    ISystemServices *system = nullptr;
    IRegistryBackend *registry = nullptr;
};

} // namespace orvia
