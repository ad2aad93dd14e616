#include "engine/ReplyCollector.h"
#include "common/ReplyParsing.h"

namespace orvia {

void ReplyCollector::start(const QString &command, qsizetype maxLength)
{
    m_text.clear();
    m_command = command;
    m_maxLength = maxLength;
}

bool ReplyCollector::add(const QString &data)
{
    m_text += data;
    m_status = classifyReply(m_text);
    return m_status != ReplyStatus::Incomplete || m_text.size() > m_maxLength;
}

PhoneReply ReplyCollector::reply() const
{
    PhoneReply r;
    if (m_status == ReplyStatus::Error)
        r.end = PhoneReply::End::Error;
    else if (m_status == ReplyStatus::Incomplete)
        r.end = PhoneReply::End::TooLong;
    r.text = m_text;
    r.command = m_command;
    const QStringList lines = SplitLines(m_text);
    QStringList framed = replyToCommand(lines, m_command);
    r.echoed = !framed.isEmpty();
    r.lines = r.echoed ? std::move(framed) : lines;
    return r;
}

} // namespace orvia
