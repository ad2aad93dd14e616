#pragma once
// The object that currently owns the serial link's input: the setup window's detection while it
// probes, the phone driver afterwards. The link collects what the phone sends for the command in
// flight and hands the receiver the whole reply, once; it also tells the receiver when its reply
// watchdog expired.
#include <QString>
#include <QStringList>

namespace orvia {

struct PhoneReply
{
    enum class End : qint8
    {
        Ok,      // ended in OK (or any other final result that is no error)
        Error,   // ended in ERROR, +CME ERROR or +CMS ERROR
        TooLong, // more text than any handset's reply, and still no final result
    };
    End end = End::Ok;
    // The reply's lines headed by the echo of the command (see replyToCommand): index 0 is empty,
    // index 1 the echo. Without such an echo the lines as they came, and `echoed` is false.
    QStringList lines;
    bool echoed = false;
    QString text;    // everything received for the command, as it came (for the log)
    QString command; // the command it answers
};

class ISerialHandler
{
public:
    virtual ~ISerialHandler() = default;
    virtual void Receive(const PhoneReply &reply) = 0;
    // The reply watchdog expired while this receiver was the link's.
    virtual void TimeOut() {}
};

} // namespace orvia
