#include "support/FakeSystemServices.h"

namespace orvia::test {

QList<ProcessEntry> FakeSystemServices::processes() const
{
    ++m_lookups;
    const QList<ProcessEntry> now = m_processes;
    if (m_onLookup)
        m_onLookup(m_lookups);
    return now;
}

QStringList FakeSystemServices::processNames() const
{
    QStringList out;
    for (const ProcessEntry &p : processes())
        out.append(p.exeName);
    return out;
}

bool FakeSystemServices::startProgram(const QString &path, const QStringList &args, bool minimised)
{
    m_starts.append(Start{path, args, minimised});
    return m_startResult;
}

qint32 FakeSystemServices::addProcess(const QString &exeName)
{
    m_processes.append(ProcessEntry{++m_nextPid, exeName});
    return m_nextPid;
}

void FakeSystemServices::removeProcess(qint32 pid)
{
    m_processes.removeIf([pid](const ProcessEntry &p) { return p.pid == pid; });
}

} // namespace orvia::test
