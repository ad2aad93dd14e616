#pragma once
// What the main window's hub asks of the shell's other windows (splash, tray window, details window).
namespace orvia {

class IShellHooks
{
public:
    virtual ~IShellHooks() = default;
    virtual void closeSplash() = 0;    // the splash window's CloseSplash
    virtual void showTrayWindow() = 0; // show the tray window, not modal
    virtual void showDetails() = 0;    // the details window, modal
    virtual void quit() = 0;           // remove the tray icon and end the program
    // The tray window's handling of a close request outside a run; returns the new Cancel value.
    virtual int meQueryUnload(int cancel, int unloadMode) = 0;
    virtual void meResize() = 0;
};

} // namespace orvia
