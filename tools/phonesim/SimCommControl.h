#pragma once
// The serial control, paired in-process with simulated handsets: what the program writes goes to
// the handset of the selected port, and the handset's reply pieces come back as receive events
// through the Qt event loop (pieces due at once) or the given timers (delayed pieces), so tests
// with manual timers never wait. Records everything written.
#include "phonesim/PhoneSim.h"
#include "platform/CommControl.h"
#include "platform/Timer.h"

#include <QStringList>
#include <QTimer>
#include <deque>
#include <map>
#include <memory>

namespace orvia::phonesim {

class SimCommControl : public ICommControl
{
public:
    enum class PortKind
    {
        Handset, // a handset answers
        Silent,  // the port opens, nothing answers
        Absent,  // no such port: opening fails
        Busy,    // held by another program: opening fails with 8005
    };

    // One handset answering on every port. Without timers, delayed pieces wait on Qt timers.
    explicit SimCommControl(std::shared_ptr<PhoneSim> phone, ITimerFactory *timers = nullptr);
    // A handset of the model with the given contents text (see the contents file format); throws
    // std::invalid_argument for an unknown model or bad contents.
    explicit SimCommControl(const QString &model, const QString &contents = {},
                            ITimerFactory *timers = nullptr);
    ~SimCommControl() override;

    PhoneSim &phone() { return *m_phone; }
    HandsetContents &contents() { return m_phone->contents(); }
    FaultConfig &faults() { return m_phone->faults(); }
    // What answers on a port; `phone` replaces the default handset there (Handset kind only).
    void setPort(int port, PortKind kind, std::shared_ptr<PhoneSim> phone = nullptr);

    // Every output() text as written, in order.
    const QStringList &sent() const { return m_sent; }
    QString sentText() const { return m_sent.join(QString()); }
    // The command lines the handsets received, without line ends.
    QStringList commandLines() const;
    void clearSent() { m_sent.clear(); }

    bool hasPending() const { return !m_queue.empty(); }
    // Delivers at once the pending pieces due without delay (what one pass of the event loop does).
    void deliverDue();
    // Delivers every pending piece at once, ignoring delays.
    void deliverAll();
    // The link drops: the port closes and the link-lost notice is raised.
    void hangUp(const QString &why = QStringLiteral("the phone hung up"));
    int openCount() const { return m_openCount; }

    void setCommPort(int port) override;
    int commPort() const override { return m_port; }
    void setSettings(const QString &settings) override { m_settings = settings; }
    QString settings() const override { return m_settings; }
    void setHandshaking(int mode) override { m_handshaking = mode; }
    int handshaking() const override { return m_handshaking; }
    void setRTSEnable(bool on) override { m_rts = on; }
    bool rtsEnable() const override { return m_rts; }
    void setRThreshold(int n) override { m_threshold = n; }
    int rThreshold() const override { return m_threshold; }
    void setPortOpen(bool open) override;
    bool portOpen() const override { return m_open; }
    void output(const QString &text) override;
    QString input() override;

private:
    struct Pending
    {
        QByteArray bytes;
        int gapMs;
    };
    struct Port
    {
        PortKind kind = PortKind::Handset;
        std::shared_ptr<PhoneSim> phone;
    };
    const Port &port() const;
    void schedule();
    void deliverHead();
    void stopTimers();

    std::shared_ptr<PhoneSim> m_phone;
    std::map<int, Port> m_ports;
    ITimerFactory *m_timers;
    std::unique_ptr<ITimer> m_timer;
    QTimer m_loopTimer;
    std::deque<Pending> m_queue;
    qint64 m_carryUs = 0;
    bool m_scheduled = false;

    QStringList m_sent;
    QString m_input;
    int m_port = 1;
    QString m_settings = QStringLiteral("9600,N,8,1");
    int m_handshaking = 0;
    bool m_rts = false;
    int m_threshold = 0;
    bool m_open = false;
    int m_openCount = 0;
};

} // namespace orvia::phonesim
