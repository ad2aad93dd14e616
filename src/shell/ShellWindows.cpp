#include "shell/ShellWindows.h"
#include "shell/FrmSysTray.h"
#include "shell/frmSplash.h"

namespace orvia {

ShellWindows::ShellWindows(FrmSysTray &tray, frmSplash &splash, QWidget &mainWindow,
                           std::function<void()> showDetails)
    : m_tray(tray), m_splash(splash), m_main(mainWindow), m_showDetails(std::move(showDetails))
{
}

void ShellWindows::closeSplash()
{
    m_splash.CloseSplash();
}

void ShellWindows::showTrayWindow()
{
    // While the splash waits for its three seconds the tray window would cover it.
    if (!m_splash.showTrayWindowOnClose())
        m_tray.showTrayWindow();
}

void ShellWindows::showDetails()
{
    if (m_showDetails)
        m_showDetails();
}

void ShellWindows::quit()
{
    m_tray.quit();
}

int ShellWindows::meQueryUnload(int cancel, int unloadMode)
{
    return m_tray.MeQueryUnload(&m_main, cancel, unloadMode);
}

void ShellWindows::meResize()
{
    m_tray.MeResize(&m_main);
}

} // namespace orvia
