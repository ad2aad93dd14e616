#pragma once
// The phone simulator program on a pseudo-terminal of its own, for tests that go through a real serial
// port: started with a contents file, its terminal's path read from its first output line, its state
// dumped on request.
#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <functional>

namespace orvia::test {

// Runs the event loop until `done` or `ms` milliseconds have passed; returns `done()`. Only for waits
// on real I/O (terminals, processes): time-outs under test go through the manual clock instead.
bool pumpUntil(const std::function<bool()> &done, int ms = 20000);

class SimulatorProgram
{
public:
    // Path of the built simulator (next to the test binaries); empty when it is not built.
    static QString path();

    // Writes `contents` to "phone.txt" in `folder` and starts the simulator on it, with `options` (its
    // fault options); its dumps go to "dump.txt" and a link to its terminal is "tty" in the same folder.
    SimulatorProgram(const QString &model, const QByteArray &contents, const QString &folder,
                     const QStringList &options = {});
    ~SimulatorProgram();
    SimulatorProgram(const SimulatorProgram &) = delete;
    SimulatorProgram &operator=(const SimulatorProgram &) = delete;

    bool ok() const { return !m_ptyPath.isEmpty(); }
    const QString &ptyPath() const { return m_ptyPath; }
    const QString &dumpPath() const { return m_dumpPath; }
    // The link that follows the terminal across hang-ups.
    const QString &linkPath() const { return m_linkPath; }
    // Drops the line (the program's side reads end of line); the handset is back at once on a new
    // terminal behind the link. False when the simulator did not come back.
    bool hangUp();
    // Asks for the contents to be written to the dump file and waits for it.
    bool dump();
    void stop();

private:
    QProcess m_process;
    QString m_dumpPath;
    QString m_linkPath;
    QString m_ptyPath;
};

} // namespace orvia::test
