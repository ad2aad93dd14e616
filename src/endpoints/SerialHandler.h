#pragma once
// The object that currently owns the serial link's input: the setup window while it detects the
// phone, the phone driver afterwards. The main window hands it every piece of input and every expiry
// of the reply watchdog.
#include <QString>

namespace orvia {

class ISerialHandler
{
public:
    virtual ~ISerialHandler() = default;
    virtual void Receive(const QString &data) = 0;
    // Handlers without a time-out reaction return false from hasTimeOut; TimeOut is then not called.
    virtual bool hasTimeOut() const { return true; }
    virtual void TimeOut() {}
};

} // namespace orvia
