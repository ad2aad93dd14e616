#pragma once
// What the phone detection asks of the splash window: the first-run flag and closing it.

namespace orvia {

class ISplashWindow
{
public:
    virtual ~ISplashWindow() = default;
    // First run (no saved port): the splash's timer opens the first-run window.
    virtual void setAutoconn(bool on) = 0;
    // Hides the splash, but not before its three seconds are up.
    virtual void CloseSplash() = 0;
    virtual bool isSplashVisible() const = 0;
    // Hides the splash at once (the setup window does so whenever it is activated).
    virtual void hideSplash() = 0;
};

} // namespace orvia
