#include "PhonesimProcess.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace orvia::phonesim::test {

// The program is built next to the test binaries; ctest names the folder in ORVIA_BIN_DIR.
QString phonesimProgram()
{
    QString dir = qEnvironmentVariable("ORVIA_BIN_DIR");
    if (dir.isEmpty())
        dir = QCoreApplication::applicationDirPath();
    return QDir(dir).filePath(QStringLiteral("phonesim"));
}

PhonesimProcess::PhonesimProcess(const QStringList &args)
{
    m_process.setProgram(phonesimProgram());
    m_process.setArguments(args);
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    m_process.start();
    if (!m_process.waitForStarted(10000))
        return;
    // The first line is the terminal's path; an error ends the program instead.
    while (!m_process.canReadLine() && m_process.state() == QProcess::Running)
        m_process.waitForReadyRead(10000);
    if (m_process.canReadLine())
        m_path = QString::fromLocal8Bit(m_process.readLine().trimmed());
}

PhonesimProcess::~PhonesimProcess()
{
    terminate();
}

void PhonesimProcess::signal(int sig)
{
    if (m_process.state() == QProcess::Running)
        ::kill(static_cast<pid_t>(m_process.processId()), sig);
}

int PhonesimProcess::terminate()
{
    if (m_process.state() == QProcess::NotRunning)
        return m_process.exitCode();
    m_process.terminate();
    if (!m_process.waitForFinished(10000)) {
        m_process.kill();
        m_process.waitForFinished(10000);
        return -1;
    }
    return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
}

PtyClient::PtyClient(const QString &path)
{
    m_fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_fd < 0)
        return;
    termios t{};
    ::tcgetattr(m_fd, &t);
    ::cfmakeraw(&t);
    ::tcsetattr(m_fd, TCSANOW, &t);
}

PtyClient::~PtyClient()
{
    close();
}

void PtyClient::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

bool PtyClient::write(const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n < 0) {
            pollfd p{m_fd, POLLOUT, 0};
            if (::poll(&p, 1, 1000) <= 0)
                return false;
            continue;
        }
        done += n;
    }
    return true;
}

bool PtyClient::readUntil(const QByteArray &needle, QByteArray *got, int limitMs, int *reads)
{
    QElapsedTimer clock;
    clock.start();
    while (!got->contains(needle)) {
        const qint64 left = limitMs - clock.elapsed();
        if (left <= 0)
            return false;
        pollfd p{m_fd, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left)) <= 0)
            continue;
        char buf[4096];
        const ssize_t n = ::read(m_fd, buf, sizeof buf);
        if (n > 0) {
            got->append(buf, n);
            if (reads)
                ++*reads;
        } else if (n == 0 || errno != EAGAIN) {
            return false; // the far end is gone
        }
    }
    return true;
}

} // namespace orvia::phonesim::test
