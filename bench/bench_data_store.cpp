// Record stores at the size of a large address book (5,000 contacts with three numbers each) and the
// reply parsing of one phonebook entry.
#include "common/ReplyParsing.h"
#include "data/DBPhonebook.h"

#include <benchmark/benchmark.h>

using namespace orvia;

namespace {

constexpr int kContacts = 5000;

std::shared_ptr<DBPhonebook> bigStore()
{
    auto pb = std::make_shared<DBPhonebook>();
    for (int c = 1; c <= kContacts; ++c) {
        qint16 id = qint16(c);
        pb->add(id, 0, QString(), QStringLiteral("Contact %1").arg(c), ContactKind::Name, Operation::None);
        for (qint16 t = 1; t <= 3; ++t)
            pb->add(id, 0, QString(), QStringLiteral("+49 171 %1%2").arg(c).arg(t), ContactKind(t),
                    Operation::None);
    }
    return pb;
}

void BM_AddAndWalk(benchmark::State &state)
{
    for (auto _ : state) {
        const auto pb = bigStore();
        qint64 sum = 0;
        const qint16 n = pb->count();
        for (qint16 i = 0; i < n; ++i)
            sum += qint16(pb->GetItem(i)->typ);
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_AddAndWalk)->Unit(benchmark::kMillisecond);

void BM_Clone(benchmark::State &state)
{
    const auto pb = bigStore();
    for (auto _ : state)
        benchmark::DoNotOptimize(pb->Clone());
}
BENCHMARK(BM_Clone)->Unit(benchmark::kMillisecond);

void BM_TextRoundTrip(benchmark::State &state)
{
    const auto pb = bigStore();
    for (auto _ : state) {
        const QString text = pb->GetDataText();
        const QStringList lines = text.split(QStringLiteral("\r\n"));
        DBPhonebook back;
        for (qsizetype i = 1; i + 1 < lines.size(); ++i) {
            auto r = std::make_shared<DBPhonebookItem>();
            r->SetDataText(lines[i]);
            back.AddItem(std::move(r));
        }
        benchmark::DoNotOptimize(back.count());
    }
}
BENCHMARK(BM_TextRoundTrip)->Unit(benchmark::kMillisecond);

void BM_ParsePhonebookReply(benchmark::State &state)
{
    const QString reply =
        QStringLiteral("AT+CPBR=17\r\r\n+CPBR: 17,\"+49171234567\",145,\"Smith, John\"\r\n\r\nOK\r\n");
    for (auto _ : state) {
        const QStringList lines = SplitLines(reply);
        benchmark::DoNotOptimize(GetIntField(lines[3], 2));
        benchmark::DoNotOptimize(GetQuotedField(lines[3], 1));
        benchmark::DoNotOptimize(GetQuotedField(lines[3], 3));
    }
}
BENCHMARK(BM_ParsePhonebookReply);

} // namespace

BENCHMARK_MAIN();
