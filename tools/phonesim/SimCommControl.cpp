#include "phonesim/SimCommControl.h"

#include "phonesim/ContentsFile.h"
#include "platform/PortMap.h"
#include "platform/RuntimeError.h"
#include "platform/Windows1252.h"

#include <stdexcept>

namespace orvia::phonesim {

namespace {

enum : int
{
    kPortInvalid = 8002,
    kNotWhileOpen = 8000,
    kPortNotOpen = 8018
};

std::shared_ptr<PhoneSim> makePhone(const QString &model, const QString &contents)
{
    ContentsResult r = parseContents(contents, model);
    if (!r.contents)
        throw std::invalid_argument(r.error.toStdString());
    return std::make_shared<PhoneSim>(std::move(*r.contents));
}

} // namespace

SimCommControl::SimCommControl(std::shared_ptr<PhoneSim> phone, ITimerFactory *timers)
    : m_phone(std::move(phone)), m_timers(timers)
{
    m_loopTimer.setSingleShot(true);
    QObject::connect(&m_loopTimer, &QTimer::timeout, [this] {
        m_scheduled = false;
        deliverHead();
        schedule();
    });
    if (m_timers) {
        m_timer = m_timers->createTimer();
        m_timer->setOnTick([this] {
            m_timer->setEnabled(false);
            m_scheduled = false;
            deliverHead();
            schedule();
        });
    }
}

SimCommControl::SimCommControl(const QString &model, const QString &contents, ITimerFactory *timers)
    : SimCommControl(makePhone(model, contents), timers)
{
}

SimCommControl::~SimCommControl()
{
    stopTimers();
}

void SimCommControl::setPort(int port, PortKind kind, std::shared_ptr<PhoneSim> phone)
{
    m_ports[port] = Port{kind, std::move(phone)};
}

const SimCommControl::Port &SimCommControl::port() const
{
    static const Port fallback{}; // immutable: the default handset on an unconfigured port
    const auto it = m_ports.find(m_port);
    return it == m_ports.end() ? fallback : it->second;
}

QStringList SimCommControl::commandLines() const
{
    QStringList out;
    for (const QByteArray &l : m_phone->commandLines())
        out << cp1252::decode(l);
    return out;
}

void SimCommControl::setCommPort(int port)
{
    if (port < 0 || port > PortMap::kMaxPort)
        throwError(ErrCommBadPort);
    if (m_open)
        throwError(ErrCommOpenNow);
    m_port = port;
}

void SimCommControl::setPortOpen(bool open)
{
    if (open == m_open) {
        if (open)
            throwError(ErrPortOpen);
        return;
    }
    if (open) {
        const PortKind kind = port().kind;
        if (kind == PortKind::Absent)
            throwError(ErrCommBadPort);
        if (kind == PortKind::Busy)
            throwError(ErrPortOpen);
        m_open = true;
        m_input.clear();
        ++m_openCount;
        return;
    }
    // What arrived and was not read yet stays readable after the close; what is still on its way
    // is lost.
    m_open = false;
    stopTimers();
    m_queue.clear();
}

void SimCommControl::output(const QString &text)
{
    if (!m_open)
        throwError(ErrCommNotOpen);
    m_sent << text;
    const Port &p = port();
    if (p.kind != PortKind::Handset)
        return;
    PhoneSim &phone = p.phone ? *p.phone : *m_phone;
    for (ReplyPiece &piece : phone.receive(cp1252::encode(text))) {
        const qint64 total = m_carryUs + piece.gapUs;
        m_carryUs = total % 1000;
        m_queue.push_back({std::move(piece.bytes), static_cast<int>(total / 1000)});
    }
    schedule();
}

QString SimCommControl::input()
{
    QString out;
    out.swap(m_input);
    return out;
}

void SimCommControl::schedule()
{
    if (m_scheduled || m_queue.empty())
        return;
    m_scheduled = true;
    const int ms = m_queue.front().gapMs;
    if (ms > 0 && m_timer) {
        m_timer->setInterval(ms);
        m_timer->setEnabled(true);
    } else {
        m_loopTimer.start(ms);
    }
}

void SimCommControl::stopTimers()
{
    m_loopTimer.stop();
    if (m_timer)
        m_timer->setEnabled(false);
    m_scheduled = false;
}

void SimCommControl::deliverHead()
{
    if (m_queue.empty() || !m_open)
        return;
    Pending p = std::move(m_queue.front());
    m_queue.pop_front();
    m_input += cp1252::decode(p.bytes);
    if (m_threshold > 0 && !m_input.isEmpty())
        raiseOnComm();
}

// A receive handler may write the next command while a piece is delivered; the timers are stopped
// before each piece so a timer armed meanwhile cannot deliver out of turn.
void SimCommControl::deliverDue()
{
    while (m_open && !m_queue.empty() && m_queue.front().gapMs == 0) {
        stopTimers();
        deliverHead();
    }
    stopTimers();
    schedule();
}

void SimCommControl::deliverAll()
{
    while (m_open && !m_queue.empty()) {
        stopTimers();
        deliverHead();
    }
    stopTimers();
    schedule();
}

void SimCommControl::hangUp(const QString &why)
{
    if (m_open)
        setPortOpen(false);
    raiseLinkLost(why);
}

} // namespace orvia::phonesim
