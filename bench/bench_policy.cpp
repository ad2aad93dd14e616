// The merge policy on large sides: a desktop phonebook of 5,000 contacts with three data each against a
// phone of 1,250 entries, and a desktop calendar of 5,000 events against a phone of 500.
#include "common/Globals.h"
#include "data/DBCalendar.h"
#include "data/DBPhonebook.h"
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
        const EventKind typ = rng.bounded(20) == 0 ? EventKind::Birthday : EventKind::Plain;
        c.outlook->add(0, start, start.addSecs(3600), false, 15, typ,
                       QStringLiteral("Meeting number %1").arg(i), QStringLiteral("Room %1").arg(i % 40),
                       Operation::None);
    }
    for (int i = 0; i < phone; ++i) {
        if (i % 2 == 0) {
            const auto e = c.outlook->GetItem(qint16(rng.bounded(desktop)));
            c.phone->add(qint16(i), e->dstart, zeroDateTime(), false, 0, EventKind::Plain, e->title.left(12),
                         QString(), Operation::None);
        } else {
            const QDateTime start = kNow.addSecs(qint64(rng.bounded(2 * 365 * 24 * 60) - 365 * 24 * 60) * 60);
            c.phone->add(qint16(i), start, zeroDateTime(), false, 0, EventKind::Plain,
                         QStringLiteral("Phone %1").arg(i), QString(), Operation::None);
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

// Desktop contacts with a mobile, a home number and an address; the phone holds 1,250 entries, a third
// of them the desktop's own mobiles, the rest its own contacts.
struct Phonebooks
{
    std::shared_ptr<DBPhonebook> outlook = std::make_shared<DBPhonebook>();
    std::shared_ptr<DBPhonebook> phone = std::make_shared<DBPhonebook>();
};

Phonebooks makePhonebooks(int contacts, int phoneEntries)
{
    Phonebooks p;
    for (int i = 0; i < contacts; ++i) {
        const QString name = QStringLiteral("Contact %1 Lastname").arg(i, 5, 10, QLatin1Char('0'));
        p.outlook->AddByName(name, 0, QString(), QStringLiteral("+49171%1").arg(i, 6, 10, QLatin1Char('0')),
                             ContactKind::Mobile, Operation::None);
        p.outlook->AddByName(name, 0, QString(), QStringLiteral("030%1").arg(i, 6, 10, QLatin1Char('0')),
                             ContactKind::Home, Operation::None);
        p.outlook->AddByName(name, 0, QString(), QStringLiteral("c%1@example.org").arg(i), ContactKind::Email,
                             Operation::None);
    }
    for (int i = 0; i < phoneEntries; ++i) {
        const bool shared = i % 3 == 0;
        const QString name =
            shared ? QStringLiteral("Contact %1 Lastname").arg(i, 5, 10, QLatin1Char('0')).left(18)
                   : QStringLiteral("Phone contact %1").arg(i);
        const QString number = shared ? QStringLiteral("+49171%1").arg(i, 6, 10, QLatin1Char('0'))
                                      : QStringLiteral("0160%1").arg(i, 6, 10, QLatin1Char('0'));
        p.phone->AddByName(name, qint16(i + 1), QStringLiteral("ME"), number, ContactKind::Mobile,
                           Operation::None);
    }
    return p;
}

std::shared_ptr<ModFeatures> contactFeatures(const QString &name, qint16 me, qint16 sm, qint16 nameLen,
                                             qint16 emailLen, bool extPB)
{
    auto f = std::make_shared<ModFeatures>();
    f->name = name;
    f->ME_capacity = me;
    f->SM_capacity = sm;
    f->NameLen = nameLen;
    f->EmailLen = emailLen;
    f->ExtPB = extPB;
    return f;
}

void runContacts(benchmark::State &state, const std::shared_ptr<ModFeatures> &feaPhone)
{
    const Phonebooks p = makePhonebooks(5000, 1250);
    const auto feaOutlook = contactFeatures(QStringLiteral("Outlook"), 10000, 0, 50, 50, true);
    FixedClock clock;
    for (auto _ : state) {
        resetGlobals();
        MrPolicy policy(&clock, nullptr);
        std::shared_ptr<DBPhonebook> toOutlook, toPhone;
        policy.DoContacts(p.outlook, p.phone, toOutlook, toPhone, feaOutlook, feaPhone);
        benchmark::DoNotOptimize(toPhone->count());
    }
}

void BM_DoContacts_5000x3_vs_1250_K110(benchmark::State &state)
{
    runContacts(state, contactFeatures(QStringLiteral("K110"), 2000, 250, 18, 30, true));
}

void BM_DoContacts_5000x3_vs_1250_D240(benchmark::State &state)
{
    runContacts(state, contactFeatures(QStringLiteral("D240"), 1500, 250, 20, 0, false));
}

BENCHMARK(BM_DoContacts_5000x3_vs_1250_K110)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DoContacts_5000x3_vs_1250_D240)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
