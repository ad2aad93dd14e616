#include "support/SimulatorProgram.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>

namespace orvia::test {

bool pumpUntil(const std::function<bool()> &done, int ms)
{
    QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    return done();
}

QString SimulatorProgram::path()
{
    const QString p = QString::fromLocal8Bit(qgetenv("ORVIA_BIN_DIR")) + QStringLiteral("/phonesim");
    return QFileInfo::exists(p) ? p : QString();
}

SimulatorProgram::SimulatorProgram(const QString &model, const QByteArray &contents, const QString &folder,
                                   const QStringList &options)
    : m_dumpPath(folder + QStringLiteral("/dump.txt")), m_linkPath(folder + QStringLiteral("/tty"))
{
    const QString contentsPath = folder + QStringLiteral("/phone.txt");
    QFile file(contentsPath);
    if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size())
        return;
    file.close();
    if (path().isEmpty())
        return;
    const QStringList args =
        QStringList{QStringLiteral("--model"),   model,      QStringLiteral("--contents"), contentsPath,
                    QStringLiteral("--dump"),    m_dumpPath, QStringLiteral("--link"),     m_linkPath,
                    QStringLiteral("--commands")} +
        options;
    m_process.start(path(), args);
    if (!m_process.waitForStarted(5000))
        return;
    if (pumpUntil([&] { return m_process.canReadLine(); }, 10000))
        m_ptyPath = QString::fromLocal8Bit(m_process.readLine()).trimmed();
}

SimulatorProgram::~SimulatorProgram()
{
    stop();
}

bool SimulatorProgram::hangUp()
{
    m_process.write("hangup\n");
    if (!pumpUntil([&] { return m_process.canReadLine(); }, 10000))
        return false;
    m_ptyPath = QString::fromLocal8Bit(m_process.readLine()).trimmed();
    return !m_ptyPath.isEmpty();
}

bool SimulatorProgram::dump()
{
    QFile::remove(m_dumpPath);
    m_process.write("dump\n");
    return pumpUntil([&] { return QFileInfo::exists(m_dumpPath); }, 10000);
}

void SimulatorProgram::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(5000))
        m_process.kill();
    m_process.waitForFinished(1000);
}

} // namespace orvia::test
