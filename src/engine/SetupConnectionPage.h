#pragma once
// The connection page of the setup window as the phone detection sees it: the port buttons, the
// "Connect" button, the status text and the window's visibility. The setup window implements it with
// widgets; tests with a plain record.
#include "engine/ComPort.h"
#include <QString>
#include <optional>

namespace orvia {

class IConnectionPage
{
public:
    static constexpr int kPortButtons = 8; // Option1(1) .. Option1(8); Option1(0) is "Auto detect"

    virtual ~IConnectionPage() = default;
    // Port button k (1..8): made visible for `port`, which it keeps.
    virtual void showPortButton(int k, ComPort port) = 0;
    virtual std::optional<ComPort> portButtonPort(int k) const = 0; // none while the button is unused
    virtual void setPortButtonEnabled(int k, bool on) = 0;
    // k 0..8; 0 is "Auto detect".
    virtual bool portButtonChecked(int k) const = 0;
    virtual void setPortButtonChecked(int k, bool on) = 0;
    virtual void setConnectEnabled(bool on) = 0;
    virtual bool connectEnabled() const = 0;
    virtual QString statusText() const = 0;
    virtual void setStatusText(const QString &text) = 0;
    virtual bool windowVisible() const = 0;
    virtual void showWindow() = 0;
};

} // namespace orvia
