#pragma once
// What the run hub asks of the other windows (IShellHooks), answered by the tray, splash and
// details windows.
#include "engine/ShellHooks.h"
#include <functional>

class QWidget;

namespace orvia {

class FrmSysTray;
class frmSplash;

class ShellWindows : public IShellHooks
{
public:
    // `mainWindow`: the progress window whose close requests reach the tray's close policy;
    // `showDetails`: opens the details window, modal.
    ShellWindows(FrmSysTray &tray, frmSplash &splash, QWidget &mainWindow, std::function<void()> showDetails);

    void closeSplash() override;
    void showTrayWindow() override;
    void showDetails() override;
    void quit() override;
    int meQueryUnload(int cancel, int unloadMode) override;
    void meResize() override;

private:
    FrmSysTray &m_tray;
    frmSplash &m_splash;
    QWidget &m_main;
    std::function<void()> m_showDetails;
};

} // namespace orvia
