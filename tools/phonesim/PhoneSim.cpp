#include "phonesim/PhoneSim.h"

namespace orvia::phonesim {

PhoneSim::PhoneSim(HandsetContents contents) : m_handset(std::move(contents)) {}

std::vector<ReplyPiece> PhoneSim::receive(const QByteArray &bytes)
{
    std::vector<ReplyPiece> out;
    for (char c : bytes) {
        if (c == '\r') {
            completeLine(out);
            m_state = LineState::AfterCr;
            continue;
        }
        if (c == '\n') {
            // The LF of a CR LF ending, or a stray one: neither starts a command.
            if (m_state == LineState::AfterCr)
                m_state = LineState::Collecting;
            continue;
        }
        if (m_state == LineState::AfterCr)
            m_state = LineState::Collecting;
        if (m_state == LineState::Overflow)
            continue;
        if (m_line.size() >= kMaxLine) {
            m_state = LineState::Overflow;
            continue;
        }
        m_line.append(c);
    }
    return out;
}

QByteArray PhoneSim::receiveAll(const QByteArray &bytes)
{
    QByteArray all;
    for (const ReplyPiece &p : receive(bytes))
        all += p.bytes;
    return all;
}

void PhoneSim::completeLine(std::vector<ReplyPiece> &out)
{
    const bool overflow = m_state == LineState::Overflow;
    const QByteArray line = m_line;
    m_line.clear();
    if (line.trimmed().isEmpty() && !overflow) {
        // An empty line is echoed and otherwise ignored, as modems do.
        if (m_handset.echo())
            out.push_back({QByteArrayLiteral("\r"), 0});
        return;
    }
    ++m_count;
    if (m_recording)
        m_lines.append(line);

    FaultRule *rule = nullptr;
    for (FaultRule &r : m_faults.rules) {
        if (r.matches(m_count, line)) {
            rule = &r;
            r.fired = true;
            break;
        }
    }
    if (rule && rule->action == FaultAction::Silence)
        return;
    if (rule && rule->action == FaultAction::Chatter) {
        for (int i = 0; i < m_faults.chatterCount; ++i)
            out.push_back({m_faults.chatterLine, qint64(m_faults.chatterIntervalMs) * 1000});
        return;
    }

    // The unsolicited line comes first, so that garbage still sits right before the echo.
    QByteArray prefix = m_faults.unsolicited;
    if (rule && rule->action == FaultAction::Garbage)
        prefix += m_faults.garbage;
    if (m_handset.echo())
        prefix += line + '\r';
    QByteArray reply;
    if (overflow || (rule && rule->action == FaultAction::Error))
        reply = QByteArrayLiteral("\r\nERROR\r\n");
    else
        reply = m_handset.execute(line);
    for (ReplyPiece &p : shapeReply(m_faults, prefix, reply))
        out.push_back(std::move(p));
}

} // namespace orvia::phonesim
