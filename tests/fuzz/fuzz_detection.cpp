// Random text from the far end of every probed port, cut into random pieces and mixed with reply
// time-outs: the phone detection must never crash, and must always come to rest (a driver in place or
// the scan ended) once time runs on.
#include "endpoints/PhoneDriver.h"
#include "endpoints/ShellCallbacks.h"
#include "engine/FormMain.h"
#include "engine/PhoneDetection.h"
#include "engine/ProgressView.h"
#include "engine/SetupConnectionPage.h"
#include "engine/ShellHooks.h"
#include "engine/SplashWindow.h"
#include "fuzz/FuzzWire.h"
#include "platform/MemoryRegistry.h"
#include "platform/SystemServicesPosix.h"
#include "setup/SetupDoubles.h"

#include <QMap>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

using namespace orvia;

namespace {

class Timer : public ITimer
{
public:
    void setInterval(int ms) override { m_ms = ms; }
    int interval() const override { return m_ms; }
    void setEnabled(bool on) override { m_on = on; }
    bool enabled() const override { return m_on; }
    void fire()
    {
        if (m_on && m_ms > 0)
            tick();
    }

private:
    int m_ms = 0;
    bool m_on = false;
};

class Timers : public ITimerFactory, public IMessageLoop, public IMessageBox, public ISettingsStore
{
public:
    std::unique_ptr<ITimer> createTimer() override
    {
        auto t = std::make_unique<Timer>();
        all.push_back(t.get());
        return t;
    }
    // Every armed timer ticks once; true when any did.
    bool fireAll()
    {
        bool any = false;
        for (Timer *t : std::vector<Timer *>(all)) {
            if (t->enabled() && t->interval() > 0) {
                any = true;
                t->fire();
            }
        }
        return any;
    }
    void yieldOnce() override {}
    void pause(int) override {}
    int show(const QString &, int, const QString &) override { return mb::Ok; }
    QString get(const QString &, const QString &, const QString &key, const QString &def) const override
    {
        return values.value(key, def);
    }
    void save(const QString &, const QString &, const QString &key, const QString &value) override
    {
        values[key] = value;
    }
    void remove(const QString &, const QString &, const QString &key) override { values.remove(key); }
    QStringList keys(const QString &, const QString &) const override { return values.keys(); }
    std::vector<Timer *> all;
    QMap<QString, QString> values;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Timers services;
    fuzz::FuzzWire wire;
    test::FakeShellWindows windows;
    test::FakeTrayState tray;
    test::NullView view;
    test::FakePage page;
    SystemServices system;
    MemoryRegistry registry;
    for (int i = 0; i < 3; ++i)
        registry.setString(reg::HKLM, QStringLiteral("hardware\\devicemap\\serialcomm"),
                           QStringLiteral("\\device\\serial%1").arg(i), QStringLiteral("COM%1").arg(i + 1));

    Platform p;
    p.timers = &services;
    p.loop = &services;
    p.messageBox = &services;
    p.settings = &services;
    p.system = &system;
    p.registry = &registry;

    FormMain::Deps d;
    d.platform = p;
    d.comm = &wire;
    d.view = &view;
    d.tray = &tray;
    d.shell = &windows;
    auto hub = std::make_unique<FormMain>(d);
    PhoneDetection::Deps dd;
    dd.platform = p;
    dd.tray = &tray;
    dd.shell = &windows;
    dd.splash = &windows;
    dd.page = &page;
    auto det = std::make_shared<PhoneDetection>(dd);
    hub->setOnPhoneErrorRecovered([&] { det->phoneErrorRecovered(); });
    det->enumeratePorts();
    det->Init(*hub);
    det->Connect(ComPort::allPorts());

    // 0xFF cuts the input into pieces of reply; a piece starting with 0xFE is a time-out instead.
    QByteArray piece;
    auto flush = [&] {
        if (!piece.isEmpty() && static_cast<uint8_t>(piece[0]) == 0xFE)
            services.fireAll();
        else if (!piece.isEmpty())
            wire.arrive(QString::fromLatin1(piece));
        piece.clear();
    };
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0xFF)
            flush();
        else
            piece.append(char(data[i]));
    }
    flush();

    // With nothing more arriving, time alone must bring the detection to rest.
    int ticks = 0;
    while (services.fireAll())
        if (++ticks > 100)
            std::abort();
    hub->dropHandler();
    return 0;
}
