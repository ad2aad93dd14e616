#pragma once
// A serial control whose far end answers from a script: each command line written is passed to
// `answer`, and what it returns arrives as one receive event when the test delivers it. For the
// replies no simulated handset gives (unknown models, echo switched off, endless text).
#include "platform/CommControl.h"
#include "platform/RuntimeError.h"
#include <QStringList>
#include <deque>
#include <functional>
#include <set>

namespace orvia::test {

class ScriptedPort : public ICommControl
{
public:
    std::function<QString(int port, const QString &line)> answer;
    std::set<int> absent; // ports that cannot be opened
    QStringList lines;    // every command line, "COMn:" prefixed
    int opens = 0;

    void setCommPort(int p) override
    {
        if (m_open)
            throwError(ErrCommOpenNow);
        m_port = p;
    }
    int commPort() const override { return m_port; }
    void setSettings(const QString &s) override { m_settings = s; }
    QString settings() const override { return m_settings; }
    void setHandshaking(int) override {}
    int handshaking() const override { return 2; }
    void setRTSEnable(bool) override {}
    bool rtsEnable() const override { return true; }
    void setRThreshold(int) override {}
    int rThreshold() const override { return 1; }
    void setPortOpen(bool open) override
    {
        if (open && !m_open && absent.count(m_port))
            throwError(ErrCommBadPort);
        if (open && !m_open)
            ++opens;
        m_open = open;
        if (!open)
            m_pending.clear();
    }
    bool portOpen() const override { return m_open; }
    void output(const QString &text) override
    {
        if (!m_open)
            throwError(ErrCommNotOpen);
        QString line = text;
        while (line.endsWith(QLatin1Char('\n')) || line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        lines << QStringLiteral("COM%1:").arg(m_port) + line;
        if (answer) {
            const QString reply = answer(m_port, line);
            if (!reply.isEmpty())
                m_pending.push_back(reply);
        }
    }
    QString input() override
    {
        QString out;
        out.swap(m_input);
        return out;
    }
    bool hasPending() const { return !m_pending.empty(); }
    // Delivers the next pending reply as one receive event.
    void deliverOne()
    {
        if (m_pending.empty())
            return;
        m_input += m_pending.front();
        m_pending.pop_front();
        raiseOnComm();
    }
    void deliverAll()
    {
        for (int guard = 0; guard < 1000 && hasPending(); ++guard)
            deliverOne();
    }
    // Text from the far end that no command asked for.
    void inject(const QString &text)
    {
        m_input += text;
        raiseOnComm();
    }

private:
    std::deque<QString> m_pending;
    QString m_input;
    QString m_settings;
    int m_port = 1;
    bool m_open = false;
};

// The usual answer: the echo, then the lines, then OK.
inline QString okReply(const QString &echo, const QStringList &lines = {})
{
    QString r = echo + QStringLiteral("\r");
    for (const QString &l : lines)
        r += QStringLiteral("\r\n") + l + QStringLiteral("\r\n");
    return r + QStringLiteral("\r\nOK\r\n");
}

} // namespace orvia::test
