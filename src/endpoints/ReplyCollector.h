#pragma once
// The text the phone sends for one command, collected until it is a whole reply and then framed
// once: its lines, with unsolicited result codes set aside, and whether it ended in OK or an error.
#include "endpoints/AtFraming.h"
#include <QString>
#include <QStringList>

namespace orvia {

class ReplyCollector
{
public:
    enum class Progress
    {
        Incomplete, // the reply goes on
        TooLong,    // more text than any handset's reply, and still no final result
        Whole,
    };

    explicit ReplyCollector(qsizetype maxLength) : m_maxLength(maxLength) {}

    // A command goes out: what came before is no part of its reply.
    void start(const QString &command);
    void clear() { m_text.clear(); }
    Progress add(const QString &data);

    bool endedInError() const { return m_status == ReplyStatus::Error; }
    // The whole reply's lines headed by the echo of the command (see replyToCommand). Without such an
    // echo the lines are returned as they came, and `echoed` is false.
    QStringList frame(bool &echoed) const;
    const QString &text() const { return m_text; }
    const QString &command() const { return m_command; }

private:
    qsizetype m_maxLength;
    QString m_text;
    QString m_command;
    ReplyStatus m_status = ReplyStatus::Incomplete;
};

} // namespace orvia
