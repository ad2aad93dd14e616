#pragma once
// A real pseudo-terminal between a driver and a simulated handset: the driver's side is a serial
// control on the terminal's slave end (raw mode, read notifications through the Qt event loop); the
// handset's side is a thread that serves the simulator core on the master end, sleeping out the time
// each command and each reply piece need on the wire when the link is paced.
#include "endpoints/AtDriverBase.h"
#include "phonesim/Cp1252.h"
#include "phonesim/PhoneSim.h"
#include "platform/CommControl.h"
#include "platform/Timer.h"

#include <QSocketNotifier>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <poll.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace orvia::test {

class PtyPhoneServer
{
public:
    explicit PtyPhoneServer(std::shared_ptr<phonesim::PhoneSim> phone) : m_phone(std::move(phone))
    {
        m_master = posix_openpt(O_RDWR | O_NOCTTY);
        if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0)
            return;
        m_slavePath = QString::fromLocal8Bit(ptsname(m_master));
        termios t{};
        tcgetattr(m_master, &t);
        cfmakeraw(&t);
        tcsetattr(m_master, TCSANOW, &t);
        m_thread = std::thread([this] { serve(); });
    }
    ~PtyPhoneServer()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        if (m_master >= 0)
            ::close(m_master);
    }
    bool ok() const { return m_master >= 0 && !m_slavePath.isEmpty(); }
    QString slavePath() const { return m_slavePath; }
    qint64 bytesOut() const { return m_bytesOut; }
    qint64 bytesIn() const { return m_bytesIn; }
    // The handset's state, read while the link is idle.
    phonesim::PhoneSim &phone() { return *m_phone; }

private:
    // A paced handset puts each byte on the line when its wire time is up. A plain sleep wakes a few
    // hundred microseconds late on an idle machine, which would make the simulated line slower than its
    // baud rate; the last stretch is spun instead.
    template <class TimePoint> static void sleepUntilPrecisely(TimePoint due)
    {
        constexpr auto spin = std::chrono::microseconds(400);
        if (due - decltype(due)::clock::now() > spin)
            std::this_thread::sleep_until(due - spin);
        while (decltype(due)::clock::now() < due)
            std::this_thread::yield();
    }

    void serve()
    {
        using clock = std::chrono::steady_clock;
        char buf[4096];
        while (!m_stop) {
            pollfd p{m_master, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0)
                continue;
            const ssize_t n = ::read(m_master, buf, sizeof buf);
            if (n <= 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(5)); // no client yet
                continue;
            }
            m_bytesIn += n;
            // On a paced line the command's own bytes take their time too before the handset has them.
            auto due = clock::now();
            if (const int rate = m_phone->faults().bytesPerSecond; rate > 0)
                due += std::chrono::microseconds(qint64(n) * 1000000 / rate);
            for (const auto &piece : m_phone->receive(QByteArray(buf, int(n)))) {
                due += std::chrono::microseconds(piece.gapUs);
                sleepUntilPrecisely(due);
                qsizetype off = 0;
                while (off < piece.bytes.size()) {
                    const ssize_t w =
                        ::write(m_master, piece.bytes.constData() + off, size_t(piece.bytes.size() - off));
                    if (w < 0 && errno != EAGAIN && errno != EINTR)
                        return;
                    if (w > 0)
                        off += w;
                }
                m_bytesOut += piece.bytes.size();
            }
        }
    }

    std::shared_ptr<phonesim::PhoneSim> m_phone;
    int m_master = -1;
    QString m_slavePath;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<qint64> m_bytesOut{0}, m_bytesIn{0};
};

// The program's side of the link: a minimal serial control on a terminal device.
class TtyComm : public ICommControl
{
public:
    explicit TtyComm(QString path) : m_path(std::move(path)) {}
    ~TtyComm() override { setPortOpen(false); }
    void setCommPort(int port) override { m_port = port; }
    int commPort() const override { return m_port; }
    void setSettings(const QString &s) override { m_settings = s; }
    QString settings() const override { return m_settings; }
    void setHandshaking(int) override {}
    int handshaking() const override { return 0; }
    void setRTSEnable(bool) override {}
    bool rtsEnable() const override { return false; }
    void setRThreshold(int) override {}
    int rThreshold() const override { return 1; }
    void setPortOpen(bool open) override
    {
        if (open && m_fd < 0) {
            m_fd = ::open(m_path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
            if (m_fd < 0)
                return;
            termios t{};
            tcgetattr(m_fd, &t);
            cfmakeraw(&t);
            tcsetattr(m_fd, TCSANOW, &t);
            m_notifier = std::make_unique<QSocketNotifier>(m_fd, QSocketNotifier::Read);
            QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] { readAvailable(); });
        } else if (!open && m_fd >= 0) {
            m_notifier.reset();
            ::close(m_fd);
            m_fd = -1;
        }
    }
    bool portOpen() const override { return m_fd >= 0; }
    void output(const QString &text) override
    {
        const QByteArray bytes = phonesim::toCp1252(text);
        qsizetype off = 0;
        while (off < bytes.size()) {
            const ssize_t w = ::write(m_fd, bytes.constData() + off, size_t(bytes.size() - off));
            if (w > 0)
                off += w;
            else if (errno != EAGAIN && errno != EINTR)
                return;
        }
    }
    int wakeups = 0;
    QString input() override
    {
        QString out;
        out.swap(m_input);
        return out;
    }

private:
    void readAvailable()
    {
        char buf[4096];
        ++wakeups;
        const ssize_t n = ::read(m_fd, buf, sizeof buf);
        if (n <= 0)
            return;
        m_input += phonesim::fromCp1252(QByteArray(buf, int(n)));
        raiseOnComm();
    }

    QString m_path;
    int m_fd = -1;
    int m_port = 1;
    QString m_settings;
    QString m_input;
    std::unique_ptr<QSocketNotifier> m_notifier;
};

} // namespace orvia::test
