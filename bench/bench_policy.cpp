// The merge policy on large sides: a desktop calendar of 5,000 events against a phone of 500.
#include "common/Globals.h"
#include "data/DBCalendar.h"
#include "data/ModFeatures.h"
#include "engine/MrPolicy.h"
#include "platform/Timer.h"

#include <QRandomGenerator>
#include <benchmark/benchmark.h>

namespace {

using namespace orvia;

const QDateTime kNow(QDate(2026, 6, 15), QTime(10, 30, 0));

class FixedClock : public IClock
{
public:
    QDateTime now() const override { return kNow; }
};

struct Calendars
{
    std::shared_ptr<DBCalendar> outlook = std::make_shared<DBCalendar>();
    std::shared_ptr<DBCalendar> phone = std::make_shared<DBCalendar>();
};

// Desktop events over three years around now, a few of them yearly; half of the phone's events are
// copies of desktop ones (their text cut as a phone keeps it), the rest its own.
Calendars makeCalendars(int desktop, int phone)
{
    QRandomGenerator rng(42);
    Calendars c;
    for (int i = 0; i < desktop; ++i) {
        const QDateTime start = kNow.addSecs(qint64(rng.bounded(3 * 365 * 24 * 60) - 365 * 24 * 60) * 60);
        const qint16 typ = rng.bounded(20) == 0 ? 4 : 1;
        c.outlook->add(0, start, start.addSecs(3600), false, 15, typ,
                       QStringLiteral("Meeting number %1").arg(i), QStringLiteral("Room %1").arg(i % 40), 0);
    }
    for (int i = 0; i < phone; ++i) {
        if (i % 2 == 0) {
            const auto e = c.outlook->GetItem(qint16(rng.bounded(desktop)));
            c.phone->add(qint16(i), e->dstart, zeroDateTime(), false, 0, 1, e->title.left(12), QString(), 0);
        } else {
            const QDateTime start = kNow.addSecs(qint64(rng.bounded(2 * 365 * 24 * 60) - 365 * 24 * 60) * 60);
            c.phone->add(qint16(i), start, zeroDateTime(), false, 0, 1, QStringLiteral("Phone %1").arg(i),
                         QString(), 0);
        }
    }
    return c;
}

std::shared_ptr<ModFeatures> features(const QString &name, qint16 calCapacity)
{
    auto f = std::make_shared<ModFeatures>();
    f->name = name;
    f->Cal_capacity = calCapacity;
    return f;
}

void runCalendar(benchmark::State &state, const QString &model)
{
    const Calendars c = makeCalendars(5000, 500);
    const auto feaOutlook = features(QStringLiteral("Outlook"), 10000);
    const auto feaPhone = features(model, 1000);
    FixedClock clock;
    for (auto _ : state) {
        resetGlobals();
        MrPolicy policy(&clock, nullptr);
        std::shared_ptr<DBCalendar> toOutlook, toPhone;
        policy.DoCalendar(c.outlook, c.phone, toOutlook, toPhone, feaOutlook, feaPhone);
        benchmark::DoNotOptimize(toPhone->count());
    }
}

void BM_DoCalendar_5000x500_K110(benchmark::State &state)
{
    runCalendar(state, QStringLiteral("K110"));
}
void BM_DoCalendar_5000x500_Tarvex(benchmark::State &state)
{
    runCalendar(state, QStringLiteral("Tarvex"));
}

BENCHMARK(BM_DoCalendar_5000x500_K110)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DoCalendar_5000x500_Tarvex)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
