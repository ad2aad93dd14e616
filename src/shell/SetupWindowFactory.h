#pragma once
// Creates the setup window with what it needs of the other windows and the platform.
#include "platform/Platform.h"
#include <memory>

namespace orvia {

class ISetupWindow;
class ISplashWindow;
class ITrayState;
class IShellHooks;
class ICommControl;
class FrmSysTray;

struct SetupWindowContext
{
    Platform platform;
    ICommControl *comm = nullptr;
    ITrayState *tray = nullptr;      // icon state
    IShellHooks *shell = nullptr;    // show the tray window, close policy
    ISplashWindow *splash = nullptr; // first-run flag, closing the splash
    FrmSysTray *trayWindow = nullptr;
};

std::unique_ptr<ISetupWindow> createSetupWindow(const SetupWindowContext &context);

} // namespace orvia
