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
    enum class Progress
    {
        Incomplete, // the reply goes on
        TooLong,    // more text than the limit, and still no final result
        Whole,
    };

    // A command goes out: what came before is no part of its reply.
    void start(const QString &command, qsizetype maxLength);
    void clear() { m_text.clear(); }
    Progress add(const QString &data);

    // The reply as far as it came, framed, with how it ended (see PhoneReply); after Whole or TooLong.
    PhoneReply reply() const;

private:
    qsizetype m_maxLength = 0;
    QString m_text;
    QString m_command;
    ReplyStatus m_status = ReplyStatus::Incomplete;
};

} // namespace orvia
