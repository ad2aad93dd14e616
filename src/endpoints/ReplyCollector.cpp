#include "endpoints/ReplyCollector.h"
#include "common/ReplyParsing.h"

namespace orvia {

void ReplyCollector::start(const QString &command)
{
    m_text.clear();
    m_command = command;
}

ReplyCollector::Progress ReplyCollector::add(const QString &data)
{
    m_text += data;
    m_status = classifyReply(m_text);
    if (m_status != ReplyStatus::Incomplete)
        return Progress::Whole;
    return m_text.size() > m_maxLength ? Progress::TooLong : Progress::Incomplete;
}

QStringList ReplyCollector::frame(bool &echoed) const
{
    const QStringList lines = SplitLines(m_text);
    QStringList reply = replyToCommand(lines, m_command);
    echoed = !reply.isEmpty();
    return echoed ? reply : lines;
}

} // namespace orvia
