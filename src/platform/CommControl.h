#pragma once
// The serial communications control: the members the program uses of a classic serial-port control.
// Text crosses the wire as Windows-1252 bytes.
#include <QString>
#include <functional>

namespace orvia {

class ICommControl
{
public:
    virtual ~ICommControl() = default;
    virtual void setCommPort(int port) = 0; // 1-9 (0-9 accepted)
    virtual int commPort() const = 0;
    virtual void setSettings(const QString &settings) = 0; // e.g. "57600,N,8,1"
    virtual QString settings() const = 0;
    virtual void setHandshaking(int mode) = 0; // 2: RTS
    virtual int handshaking() const = 0;
    virtual void setRTSEnable(bool on) = 0;
    virtual bool rtsEnable() const = 0;
    virtual void setRThreshold(int n) = 0;
    virtual int rThreshold() const = 0;
    // Opening throws RuntimeError 8005 when the port is held elsewhere, another RuntimeError when it
    // cannot be opened at all.
    virtual void setPortOpen(bool open) = 0;
    virtual bool portOpen() const = 0;
    virtual void output(const QString &text) = 0;
    virtual QString input() = 0; // all text received since the last call; empties the buffer
    // Raised on the user-interface thread when data has arrived (at least RThreshold characters).
    void setOnComm(std::function<void()> f) { m_onComm = std::move(f); }
    // Raised once, from the event loop, when the link is lost (hang-up, device removed); the port is
    // closed by then.
    void setOnLinkLost(std::function<void(const QString &why)> f) { m_onLinkLost = std::move(f); }

protected:
    // Copies, so that a handler may replace the callbacks or destroy the control.
    void raiseOnComm()
    {
        if (auto f = m_onComm)
            f();
    }
    void raiseLinkLost(const QString &why)
    {
        if (auto f = m_onLinkLost)
            f(why);
    }

private:
    std::function<void()> m_onComm;
    std::function<void(const QString &)> m_onLinkLost;
};

} // namespace orvia
