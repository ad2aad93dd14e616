#pragma once
// The narrow views of the setup and tray windows that the drivers and the engine call.
#include <QString>

namespace orvia {

class ISetupDetection
{
public:
    virtual ~ISetupDetection() = default;
    // One step of the phone-detection state machine (the driver calls it when identification ends
    // outside a run).
    virtual void FiniteStateMachine() = 0;
};

// The tray icon's states; the numbers are the ones the shell's icon record has always carried.
enum class TrayIcon : int
{
    Stopped = 0,
    Ready = 1,
    Busy = 2, // flashing
};

class ITrayState
{
public:
    virtual ~ITrayState() = default;
    virtual void SetState(TrayIcon state) = 0;
    virtual void ToolTip(const QString &text) = 0;
    virtual void setEnabled(bool on) = 0; // the tray window's Enabled
};

} // namespace orvia
