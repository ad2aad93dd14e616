#pragma once
// The seam between the setup window (ports, phone detection, its pages) and the other windows: what
// the start-up, the tray window and the first-run window ask of the setup window. The tray window's
// icon state and showing go through ITrayState (endpoints/ShellCallbacks.h) and IShellHooks
// (engine/ShellHooks.h); the splash through ISplashWindow (engine/SplashWindow.h).
#include <functional>

namespace orvia {

class FormMain;
class OutlookControl;

class ISetupWindow
{
public:
    virtual ~ISetupWindow() = default;
    // Start-up: keeps the owner and the desktop access, loads the window (ports, pages), tests the
    // ports and, unless this is the first run, detects the phone on the saved port.
    virtual void Init(FormMain *owner, OutlookControl *outlook) = 0;
    virtual bool isWindowShown() const = 0; // visible on screen (minimised counts as shown)
    virtual bool isWindowMinimised() const = 0;
    // Selects a page: 1 connection, 2 language, 3 desktop folders, 4 internet update.
    virtual void SelectTab(int index) = 0;
    // Normal window state, then shown, not modal.
    virtual void showWindow() = 0;
    // The first-run window's automatic connection: the "Auto detect" option is selected, the window
    // shown, the ports tested and every available port probed.
    virtual void startAutoDetection() = 0;
    // No phone is in place, but a port is saved and no detection is under way.
    virtual bool phoneCanBeSought() const = 0;
    // A run was asked for while no phone is in place: the phone is looked for on the saved port, then
    // on every port (as at start-up), and `found` runs once it is identified; if none answers, the
    // user is told. False when nothing could be started (no port saved).
    virtual bool seekPhoneForRun(std::function<void()> found) = 0;
};

} // namespace orvia
