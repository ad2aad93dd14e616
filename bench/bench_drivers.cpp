// Phonebook reads over a real pseudo-terminal: round trips per second with a zero-latency handset,
// and the overhead over the wire time with the handset paced at 57600 baud both ways.
#include "drivers/DriverRig.h"
#include "drivers/PtyLink.h"

#include "data/DBPhonebook.h"
#include "phonesim/ContentsFile.h"
#include "platform/PortMap.h"
#include "platform/QtTimerFactory.h"
#include "platform/SerialCommControl.h"
#include "platform/SettingsStore.h"
#include "support/MemorySettingsStore.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <benchmark/benchmark.h>

using namespace orvia;
using namespace orvia::test;

namespace {

// SIM 250 and handset 1,000 places, every place used: 1,250 entries.
QString fullPhonebook()
{
    QString c = QStringLiteral("SM=250\nME=1000\n");
    for (int i = 1; i <= 250; ++i)
        c += QStringLiteral("entry=SM,%1,\"+4915100%1\",145,\"Sim %1\",0\n").arg(i);
    for (int i = 1; i <= 1000; ++i)
        c += QStringLiteral("entry=ME,%1,\"0301%1\",129,\"Handset %1\",%2\n").arg(i).arg(i % 4);
    return c;
}

struct ReadResult
{
    double seconds = 0;
    int commands = 0;
    qint64 replyBytes = 0;
    qint64 commandBytes = 0;
    bool ok = false;
    int wakeups = 0;
};

ReadResult readOverPty(int bytesPerSecond)
{
    auto parsed = phonesim::parseContents(fullPhonebook(), QStringLiteral("K110"));
    auto phone = std::make_shared<phonesim::PhoneSim>(*parsed.contents);
    phone->faults().bytesPerSecond = bytesPerSecond;
    phone->setRecording(false);
    PtyPhoneServer server(phone);
    // The program's own serial control on the terminal, opened as the main window opens it.
    MemorySettingsStore settings;
    settings.save(kSettingsApp, QStringLiteral("ports"), QStringLiteral("COM1"), server.slavePath());
    PortMap ports{&settings, [] { return QStringList(); }};
    SerialCommControl comm{ports};
    comm.setCommPort(1);
    comm.setSettings(QStringLiteral("57600,N,8,1"));
    comm.setHandshaking(2);
    comm.setRTSEnable(true);
    comm.setRThreshold(1);
    comm.setPortOpen(true);
    int reads = 0;
    QtTimerFactory timers;
    Platform platform;
    platform.timers = &timers;
    PhoneLink link(&comm, platform);
    ScriptedMessageBox box;
    RecordingOwner owner;
    auto driver = std::make_shared<VelmoraAT>(&box);
    link.setDriver(driver);
    comm.setOnComm([&] {
        ++reads;
        link.receive();
    });
    link.setOnWatchdog([&] {
        link.timeOutReceiver();
        link.stopWatchdog();
    });
    auto pump = [&](int callbacks) {
        QDeadlineTimer deadline(120000);
        while (owner.callbacks < callbacks && owner.recoveries == 0 && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        return owner.callbacks >= callbacks;
    };
    driver->Init(&link, &owner);
    ReadResult r;
    if (!pump(1))
        return r;
    const int before = phone->commandCount();
    const qint64 outBefore = server.bytesOut(), inBefore = server.bytesIn();
    auto pb = std::make_shared<DBPhonebook>();
    QElapsedTimer t;
    t.start();
    driver->ReadContacts(pb);
    r.ok = pump(2) && pb->countEntries() == 1250;
    r.seconds = double(t.nsecsElapsed()) / 1e9;
    r.commands = phone->commandCount() - before;
    r.replyBytes = server.bytesOut() - outBefore;
    r.wakeups = reads;
    r.commandBytes = server.bytesIn() - inBefore;
    return r;
}

void BM_PhonebookReadZeroLatency(benchmark::State &state)
{
    for (auto _ : state) {
        const ReadResult r = readOverPty(0);
        if (!r.ok) {
            state.SkipWithError("read failed");
            return;
        }
        state.SetIterationTime(r.seconds);
        state.counters["round_trips"] = r.commands;
        state.counters["round_trips_per_s"] = r.commands / r.seconds;
        state.counters["reads"] = r.wakeups;
    }
}
BENCHMARK(BM_PhonebookReadZeroLatency)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_PhonebookRead57600(benchmark::State &state)
{
    for (auto _ : state) {
        const ReadResult r = readOverPty(5760); // 57600 baud, 10 bits a byte
        if (!r.ok) {
            state.SkipWithError("read failed");
            return;
        }
        const double wire = double(r.replyBytes) / 5760.0;
        state.SetIterationTime(r.seconds);
        // The handset is paced both ways (commands and replies), so the line needs the time of all
        // bytes: the overhead is what the read takes beyond that.
        const double wireBothWays = double(r.replyBytes + r.commandBytes) / 5760.0;
        state.counters["wire_replies_s"] = wire;
        state.counters["wire_both_ways_s"] = wireBothWays;
        state.counters["overhead_pct"] = (r.seconds / wireBothWays - 1.0) * 100.0;
    }
}
BENCHMARK(BM_PhonebookRead57600)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
