// Grouping, merging and diffing the two sides of a contacts run: a 5,000-contact extended phonebook with
// three numbers each against a 1,250-entry simple phonebook, a quarter of whose entries are contacts
// the other side knows. Target: well under 200 ms for the whole sequence.
#include "data/DBContainer.h"
#include "data/DBPhonebook.h"
#include "data/ModFeatures.h"

#include <benchmark/benchmark.h>

using namespace orvia;

namespace {

QString contactName(int i)
{
    return QStringLiteral("Name %1 Surname").arg(i, 5, 10, QLatin1Char(u'0')); // unique first 12 characters
}

std::shared_ptr<DBPhonebook> extendedPhonebook(int contacts)
{
    auto store = std::make_shared<DBPhonebook>();
    for (int i = 0; i < contacts; ++i) {
        qint16 id = qint16(i + 1);
        store->add(id, 0, QString(), contactName(i), ContactKind::Name, Operation::None);
        for (qint16 typ = 1; typ <= 3; ++typ)
            store->add(id, 0, QString(), QStringLiteral("+4917%1%2").arg(i, 6, 10, QLatin1Char('0')).arg(typ),
                       ContactKind(typ), Operation::None);
    }
    return store;
}

std::shared_ptr<DBPhonebook> simplePhonebook(int entries)
{
    const QString suffixes[] = {QString(), QStringLiteral("#H"), QStringLiteral("#W")};
    auto store = std::make_shared<DBPhonebook>();
    for (int i = 0; i < entries; ++i) {
        qint16 id = qint16(i + 1);
        // Every fourth entry is a contact the other side knows.
        const QString name =
            i % 4 == 0 ? contactName(i).left(14) : QStringLiteral("Phone %1").arg(i, 5, 10, QLatin1Char('0'));
        store->add(id, qint16(i + 1), QStringLiteral("SM"), name + suffixes[i % 3], ContactKind::Name,
                   Operation::None);
        // Known contacts share one of their numbers with the other side, the rest are new.
        const QString number =
            i % 8 == 0 ? QStringLiteral("+4917%1%2").arg(i, 6, 10, QLatin1Char('0')).arg(i % 3 + 1)
                       : QStringLiteral("0301%1").arg(i, 6, 10, QLatin1Char('0'));
        store->add(id, qint16(i + 1), QStringLiteral("SM"), number, ContactKind::Mobile, Operation::None);
    }
    return store;
}

void BM_GroupMergeDiff(benchmark::State &state)
{
    const auto outlook = extendedPhonebook(5000);
    const auto phone = simplePhonebook(1250);
    ModFeatures fea1;
    fea1.ExtPB = true;
    ModFeatures fea2;
    fea2.ExtPB = false;
    for (auto _ : state) {
        const auto fam1 = outlook->GroupFamilies(fea1);
        const auto fam2 = phone->GroupFamilies(fea2);
        const auto merged = fam1->MergeContacts(*fam2);
        const auto diff1 = merged->DiffContacts(*fam1);
        const auto diff2 = merged->DiffContacts(*fam2);
        benchmark::DoNotOptimize(diff1->count());
        benchmark::DoNotOptimize(diff2->count());
        state.counters["families"] = merged->count();
        state.counters["to_outlook"] = diff1->countToSend();
        state.counters["to_phone"] = diff2->countToSend();
    }
}
BENCHMARK(BM_GroupMergeDiff)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
