// Random phone replies fed to both drivers in every state: the drivers must never crash, hang or
// send a command after they have failed.
#include "data/DBCalendar.h"
#include "data/DBPhonebook.h"
#include "data/ZeroDateTime.h"
#include "endpoints/RunOwner.h"
#include "endpoints/ShellCallbacks.h"
#include "endpoints/TarvexAT.h"
#include "endpoints/VelmoraAT.h"
#include "engine/PhoneLink.h"
#include "fuzz/FuzzWire.h"
#include "platform/CommControl.h"
#include "platform/MessageBox.h"
#include "platform/Timer.h"

#include <QString>
#include <cstddef>
#include <cstdint>
#include <memory>

using namespace orvia;

namespace {

class Timer : public ITimer
{
public:
    void setInterval(int ms) override { m_ms = ms; }
    int interval() const override { return m_ms; }
    void setEnabled(bool on) override { m_on = on; }
    bool enabled() const override { return m_on; }

private:
    int m_ms = 0;
    bool m_on = false;
};

class Timers : public ITimerFactory
{
public:
    std::unique_ptr<ITimer> createTimer() override { return std::make_unique<Timer>(); }
};

class Owner : public IRunOwner, public ISetupDetection, public ITrayState, public IMessageBox
{
public:
    void MrCallback(qint16) override {}
    void SetProgress(double) override {}
    bool UserInterrupt() override { return stop; }
    void RecoverFromPhoneError() override { failed = true; }
    qint16 SyncStateMachine() const override { return sync; }
    void FiniteStateMachine() override {}
    void SetState(TrayIcon) override {}
    void ToolTip(const QString &) override {}
    void setEnabled(bool) override {}
    int show(const QString &, int, const QString &) override { return mb::Ok; }
    bool stop = false;
    bool failed = false;
    qint16 sync = 1;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    const uint8_t mode = data[0];
    const uint8_t op = data[1];
    data += 2;
    size -= 2;

    Owner owner;
    owner.sync = (mode & 0x40) ? 0 : 1;
    fuzz::FuzzWire wire;
    wire.setPortOpen(true);
    Timers timers;
    Platform platform;
    platform.timers = &timers;
    PhoneLink link(&wire, platform); // collects and frames the replies, as in the program
    std::shared_ptr<AtDriverBase> driver;
    if (mode & 1)
        driver = std::make_shared<TarvexAT>(&owner);
    else
        driver = std::make_shared<VelmoraAT>(&owner);
    driver->setShell(&owner, &owner);
    link.setDriver(driver);
    driver->Init(&link, &owner);

    // Optionally a well-formed identification first, so the later states have counts to work with.
    if (mode & 2) {
        const bool t = mode & 1;
        link.receive(QStringLiteral("AT+GMM\r\r\n") +
                     (t ? QStringLiteral("Tarvex Mobile") : QStringLiteral("Velmora K110")) +
                     QStringLiteral("\r\n\r\nOK\r\n"));
        if (t)
            link.receive(QStringLiteral("AT+CGMM\r\r\nG170\r\n\r\nOK\r\n"));
        link.receive(QStringLiteral("AT+CPBS=\"SM\"\r\r\nOK\r\n"));
        link.receive(QStringLiteral("AT+CPBS?\r\r\n+CPBS: \"SM\",3,250\r\n\r\nOK\r\n"));
        link.receive(QStringLiteral("AT+CPBS=\"ME\"\r\r\nOK\r\n"));
        link.receive(QStringLiteral("AT+CPBS?\r\r\n+CPBS: \"ME\",2,500\r\n\r\nOK\r\n"));
    }

    auto pb = std::make_shared<DBPhonebook>();
    auto add = std::make_shared<DBPhonebook>();
    add->AddByName(QStringLiteral("A"), 1, QStringLiteral("SM"), QStringLiteral("+1"), ContactKind::Mobile,
                   Operation::Add);
    add->AddByName(QStringLiteral("B"), 2, QStringLiteral("ME"), QStringLiteral("2"), ContactKind::Email,
                   Operation::Add);
    auto cal = std::make_shared<DBCalendar>();
    auto calOut = std::make_shared<DBCalendar>();
    calOut->add(3, QDateTime(QDate(2026, 1, 1), QTime(0, 5)), zeroDateTime(), true, 30, EventKind::Plain,
                QStringLiteral("x"), QStringLiteral("y"), Operation::Add);
    calOut->add(-1, QDateTime(QDate(2026, 1, 1), QTime(0, 5)), zeroDateTime(), false, 0, EventKind::Plain,
                QStringLiteral("x"), QString(), Operation::Add);
    calOut->add(4, QDateTime(), zeroDateTime(), false, 0, EventKind::Plain, QString(), QString(),
                Operation::Delete);
    switch (op % 6) {
    case 1:
        driver->ReadContacts(pb);
        break;
    case 2:
        driver->UpdateContacts(add);
        break;
    case 3:
        driver->ReadCalendar(cal);
        break;
    case 4:
        driver->UpdateCalendar(calOut);
        break;
    case 5:
        link.timeOutReceiver();
        break;
    default:
        break;
    }

    // The rest: pieces split at 0xFF bytes; pieces after a 0xFE byte get a final OK appended.
    QString piece;
    int stopAt = (op >> 3) & 0x1f;
    int pieces = 0;
    auto flush = [&](bool withOk) {
        if (withOk)
            piece += QStringLiteral("\r\nOK\r\n");
        const int before = wire.sent;
        const bool wasFailed = owner.failed;
        owner.stop = stopAt != 0 && ++pieces >= stopAt;
        link.receive(piece);
        // A failed driver stays silent.
        if (wasFailed && wire.sent != before)
            __builtin_trap();
        piece.clear();
    };
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0xFF)
            flush(false);
        else if (data[i] == 0xFE)
            flush(true);
        else
            piece += QChar(data[i]); // bytes as Windows-1252 would deliver them (Latin-1 subset)
    }
    flush(false);
    return 0;
}
