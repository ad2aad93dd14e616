#pragma once
// The text the phone sends for one command, collected until it is a whole reply and then framed
// once: its lines, with unsolicited result codes set aside, and whether it ended in OK or an error.
#include "endpoints/AtFraming.h"
#include "endpoints/SerialHandler.h"
#include <QString>
#include <QStringList>

namespace orvia {

class ReplyCollector
{
public:
    // A command goes out: what came before is no part of its reply.
    void start(const QString &command, qsizetype maxLength);
    void clear() { m_text.clear(); }
    // True when the reply is whole, or longer than the limit and still without a final result: either
    // way, no more of it is awaited.
    bool add(const QString &data);

    // The reply as far as it came, framed, with how it ended (see PhoneReply); once add returned true.
    PhoneReply reply() const;

private:
    qsizetype m_maxLength = 0;
    QString m_text;
    QString m_command;
    ReplyStatus m_status = ReplyStatus::Incomplete;
};

} // namespace orvia
