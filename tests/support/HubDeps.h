#pragma once
// One wiring of the run hub's dependencies for every test that builds one: the platform services, the
// port, the windows' doubles and, where the test runs whole synchronisations, the desktop and the policy.
#include "engine/FormMain.h"
#include "support/ManualTime.h"

namespace orvia::test {

// Timers, clock and message loop all from the one manual clock, and the test's message box.
inline Platform manualPlatform(ManualTime &time, IMessageBox &boxes)
{
    Platform p;
    p.timers = &time;
    p.clock = &time;
    p.loop = &time;
    p.messageBox = &boxes;
    return p;
}

struct HubWindows
{
    IProgressView *view = nullptr;
    ITrayState *tray = nullptr;
    IShellHooks *shell = nullptr;
};

inline FormMain::Deps hubDeps(const Platform &platform, ICommControl *comm, const HubWindows &windows,
                              IDesktopEndpoint *outlook = nullptr, IRunPolicy *policy = nullptr)
{
    FormMain::Deps d;
    d.platform = platform;
    d.comm = comm;
    d.view = windows.view;
    d.tray = windows.tray;
    d.shell = windows.shell;
    d.outlook = outlook;
    d.policy = policy;
    return d;
}

} // namespace orvia::test
