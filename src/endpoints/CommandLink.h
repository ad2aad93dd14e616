#pragma once
// The serial link as its receivers see it: a command goes out and its reply is awaited, within the
// receiver's limits; the link frames the reply and hands it back through ISerialHandler::Receive.
#include <QString>

namespace orvia {

struct ReplyLimits
{
    int watchdogMs = 0;      // silence longer than this ends the wait (each piece of text restarts it)
    int deadlineMs = 0;      // the whole reply's longest wait, however much text keeps coming (0: none)
    qsizetype maxLength = 0; // text beyond this without a final result is no reply of a handset
};

class ICommandLink
{
public:
    virtual ~ICommandLink() = default;
    // Sends the command with CR LF and awaits its reply: what arrived before is no part of it.
    virtual void sendCommand(const QString &command, const ReplyLimits &limits) = 0;
    // The port number the link is set to.
    virtual int commPort() const = 0;
};

} // namespace orvia
