#pragma once
// Runs the phonesim program for a test and talks to its pseudo-terminal with plain descriptors.
#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace orvia::phonesim::test {

QString phonesimProgram();

class PhonesimProcess
{
public:
    explicit PhonesimProcess(const QStringList &args);
    ~PhonesimProcess();
    bool started() const { return !m_path.isEmpty(); }
    QString ptyPath() const { return m_path; }
    QProcess &process() { return m_process; }
    void signal(int sig);
    // Sends SIGTERM and waits for the exit; the exit code, or -1 when it did not end.
    int terminate();

private:
    QProcess m_process;
    QString m_path;
};

// A client end of the terminal in raw mode.
class PtyClient
{
public:
    explicit PtyClient(const QString &path);
    ~PtyClient();
    bool ok() const { return m_fd >= 0; }
    void close();
    bool write(const QByteArray &bytes);
    // Reads until `needle` has arrived (true) or `limitMs` passed; `reads` counts the read calls
    // that returned data.
    bool readUntil(const QByteArray &needle, QByteArray *got, int limitMs = 5000, int *reads = nullptr);

private:
    int m_fd = -1;
};

} // namespace orvia::phonesim::test
