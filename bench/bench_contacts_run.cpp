// The desktop side of a whole contacts run against a full phone (handset 1,000 and SIM 250 places, every
// place used): the read of the desktop address book through the endpoint, the policy, and the desktop
// writes, for address books of 1,250, 5,000 and 8,000 cards with three data each. The phone's side of
// the run is wire time (about 16.1 s for this phone at 57600 baud); its read is given as the store a
// driver fills.
#include "common/Globals.h"
#include "data/DBPhonebook.h"
#include "data/ModFeatures.h"
#include "endpoints/OutlookControl.h"
#include "endpoints/RunOwner.h"
#include "engine/MrPolicy.h"
#include "platform/QtTimerFactory.h"
#include "platform/pim/AtomicFile.h"
#include "platform/pim/PimNamespace.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <ctime>
#include <memory>

using namespace orvia;

namespace {

constexpr double kWireSeconds = 16.1;
constexpr int kPhoneHandset = 1000;
constexpr int kPhoneSim = 250;

struct Owner : IRunOwner
{
    int callbacks = 0;
    void MrCallback(qint16) override { ++callbacks; }
    void SetProgress(double) override {}
    bool UserInterrupt() override { return false; }
    void RecoverFromPhoneError() override {}
    qint16 SyncStateMachine() const override { return 2; }
};

QString contactName(int i)
{
    return QStringLiteral("Contact %1 Lastname").arg(i, 5, 10, QLatin1Char('0'));
}

QString mobileOf(int i)
{
    return QStringLiteral("+49171%1").arg(i, 6, 10, QLatin1Char('0'));
}

// `n` cards of a mobile, a home number and an address, with an address and a note besides, as address
// books typically hold them; the store is on disk before the measurement starts.
void fillStore(const QString &root, int n)
{
    pim::PimApplication::create(root);
    const QString dir = root + QStringLiteral("/Personal Folders/Contacts/");
    for (int i = 0; i < n; ++i) {
        const QByteArray id = QByteArray::number(i);
        const QByteArray seq = QByteArray::number(i).rightJustified(6, '0');
        QFile f(dir + QStringLiteral("c") + QString::number(i) + QStringLiteral(".vcf"));
        if (!f.open(QIODevice::WriteOnly))
            return;
        f.write("BEGIN:VCARD\r\nVERSION:3.0\r\nUID:c" + id + "\r\nFN:" + contactName(i).toUtf8() +
                "\r\nN:Lastname;Contact " + id + ";;;\r\nTEL;TYPE=CELL:+49 171 " + seq +
                "\r\nTEL;TYPE=HOME,VOICE:030 " + seq + "\r\nEMAIL;TYPE=INTERNET:c" + id +
                "@example.org\r\nADR;TYPE=HOME:;;Street " + id +
                ";City;;12345;Country\r\nNOTE:Some note about this person\\, long enough to matter.\r\n"
                "END:VCARD\r\n");
    }
    pim::syncFileSystemOf(root);
}

// The phone as its driver reads it: every place used; a third of the entries are desktop contacts (the
// name cut as the phone keeps it, the same mobile), the rest the phone's own.
std::shared_ptr<DBPhonebook> fullPhone(int desktopCards)
{
    auto pb = std::make_shared<DBPhonebook>();
    pb->name = QStringLiteral("Phone phonebook");
    for (int i = 0; i < kPhoneHandset + kPhoneSim; ++i) {
        const bool shared = i % 3 == 0;
        const int c = (i * 7) % desktopCards;
        const QString name = shared ? contactName(c).left(18) : QStringLiteral("Phone contact %1").arg(i);
        const QString number =
            shared ? mobileOf(c) : QStringLiteral("0160%1").arg(i, 6, 10, QLatin1Char('0'));
        const bool sim = i >= kPhoneHandset;
        pb->AddByName(name, qint16(sim ? i - kPhoneHandset + 1 : i + 1),
                      sim ? QStringLiteral("SM") : QStringLiteral("ME"), number, ContactKind::Mobile,
                      Operation::None);
    }
    return pb;
}

std::shared_ptr<ModFeatures> phoneFeatures()
{
    auto f = std::make_shared<ModFeatures>();
    f->name = QStringLiteral("K110");
    f->ME_capacity = kPhoneHandset;
    f->ME_filled = kPhoneHandset;
    f->SM_capacity = kPhoneSim;
    f->SM_filled = kPhoneSim;
    f->NameLen = 18;
    f->EmailLen = 30;
    f->CalBodyLen = 40;
    f->Cal_capacity = 30;
    f->ExtPB = true;
    f->writeable = true;
    return f;
}

struct Desktop
{
    QtMessageLoop loop;
    Owner owner;
    std::unique_ptr<OutlookControl> ol;

    explicit Desktop(const QString &root) : ol(std::make_unique<OutlookControl>(root, &loop))
    {
        ol->setOwner(&owner);
        ol->Init();
    }
};

// Wall time and the process's CPU time together: on a loaded machine the second shows the work itself.
struct Stopwatch
{
    QElapsedTimer wall;
    double cpuStart = cpuSeconds();

    Stopwatch() { wall.start(); }
    static double cpuSeconds()
    {
        timespec ts{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
        return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
    }
    double seconds() const { return double(wall.nsecsElapsed()) / 1e9; }
    double cpu() const { return cpuSeconds() - cpuStart; }
};

// The endpoint's read alone, as a run reads: through a desktop endpoint that has read nothing yet.
void BM_ReadDesktopContacts(benchmark::State &state)
{
    const int cards = int(state.range(0));
    QTemporaryDir tmp;
    fillStore(tmp.path(), cards);
    qint64 records = 0;
    for (auto _ : state) {
        state.PauseTiming();
        resetGlobals();
        auto desk = std::make_unique<Desktop>(tmp.path());
        auto pb = std::make_shared<DBPhonebook>();
        state.ResumeTiming();
        desk->ol->ReadContacts(pb);
        state.PauseTiming();
        records = pb->count();
        const bool finished = desk->owner.callbacks == 1;
        desk.reset();
        state.ResumeTiming();
        if (!finished) {
            state.SkipWithError("the read did not finish");
            return;
        }
    }
    state.counters["records"] = double(records);
}
BENCHMARK(BM_ReadDesktopContacts)->Arg(1250)->Arg(5000)->Arg(8000)->Unit(benchmark::kMillisecond);

// The desktop side of a whole run: features, read, policy, and the desktop writes with their wait for
// the disk. Each pass starts from a fresh store (not measured).
void BM_ContactsRunDesktopSide(benchmark::State &state)
{
    const int cards = int(state.range(0));
    const auto phone = fullPhone(cards);
    const auto feaPhone = phoneFeatures();
    double read = 0, policy = 0, write = 0, readCpu = 0, policyCpu = 0, writeCpu = 0;
    qint64 toDesktop = 0, toPhone = 0;
    for (auto _ : state) {
        QTemporaryDir tmp;
        fillStore(tmp.path(), cards);
        resetGlobals();
        Desktop desk(tmp.path());
        MrPolicy mrp(nullptr, &desk.loop);
        mrp.Init(&desk.owner);

        const Stopwatch t;
        const auto feaDesktop = desk.ol->GetFeatures();
        auto pbDesktop = std::make_shared<DBPhonebook>();
        pbDesktop->name = QStringLiteral("Outlook phonebook");
        desk.ol->ReadContacts(pbDesktop);
        const double afterRead = t.seconds(), afterReadCpu = t.cpu();
        std::shared_ptr<DBPhonebook> outDesktop = std::make_shared<DBPhonebook>();
        std::shared_ptr<DBPhonebook> outPhone = std::make_shared<DBPhonebook>();
        mrp.DoContacts(pbDesktop, phone, outDesktop, outPhone, feaDesktop, feaPhone);
        const double afterPolicy = t.seconds(), afterPolicyCpu = t.cpu();
        desk.ol->UpdateContacts(outDesktop);
        const double total = t.seconds(), totalCpu = t.cpu();

        state.SetIterationTime(total);
        read += afterRead;
        policy += afterPolicy - afterRead;
        write += total - afterPolicy;
        readCpu += afterReadCpu;
        policyCpu += afterPolicyCpu - afterReadCpu;
        writeCpu += totalCpu - afterPolicyCpu;
        toDesktop = outDesktop->countToSend();
        toPhone = outPhone->countToSend();
        if (desk.owner.callbacks != 3) {
            state.SkipWithError("a part of the run did not finish");
            return;
        }
    }
    const double n = double(state.iterations());
    state.counters["read_ms"] = read / n * 1e3;
    state.counters["policy_ms"] = policy / n * 1e3;
    state.counters["write_ms"] = write / n * 1e3;
    state.counters["read_cpu_ms"] = readCpu / n * 1e3;
    state.counters["policy_cpu_ms"] = policyCpu / n * 1e3;
    state.counters["write_cpu_ms"] = writeCpu / n * 1e3;
    state.counters["desktop_cpu_ms"] = (readCpu + policyCpu + writeCpu) / n * 1e3;
    state.counters["pct_of_wire"] = (read + policy + write) / n / kWireSeconds * 100.0;
    state.counters["to_desktop"] = double(toDesktop);
    state.counters["to_phone"] = double(toPhone);
}
BENCHMARK(BM_ContactsRunDesktopSide)
    ->Arg(1250)
    ->Arg(5000)
    ->Arg(8000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
