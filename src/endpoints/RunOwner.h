#pragma once
// What the phone drivers, the desktop-store access and the policy call on the main window during a
// run. The engine's FormMain implements it; tests use a recording double.
#include <QtGlobal>

namespace orvia {

class IRunOwner
{
public:
    virtual ~IRunOwner() = default;
    virtual void MrCallback(qint16 code) = 0;      // the current operation is finished: arm the step timer
    virtual void SetProgress(double fraction) = 0; // the endpoint's own progress, 0..1
    virtual bool UserInterrupt() = 0;              // true when the user confirmed a stop
    virtual void RecoverFromPhoneError() = 0;      // end the run after a phone failure, drop the driver
    virtual qint16 SyncStateMachine() const = 0;   // 0 when no run is active
};

} // namespace orvia
