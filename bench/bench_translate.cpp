// The translation table at the size of the real language file (about 125 phrases in five languages):
// loading the scrambled file at start-up, and the two table scans of every shown text.
#include "common/Globals.h"
#include "common/LanguageScrambler.h"
#include "common/Translation.h"
#include "data/DBLanguages.h"

#include <benchmark/benchmark.h>

using namespace orvia;

namespace {

constexpr int kPhrases = 125;
const char *const kCodes[] = {"en", "de", "fr", "it", "sp"};

QByteArray languageFile()
{
    DBLanguages t;
    for (int p = 1; p <= kPhrases; ++p) {
        for (const char *code : kCodes)
            t.add(qint16(p), QString::fromLatin1(code), QString(),
                  QStringLiteral("Phrase %1 in %2, with Outlook and \u00E4\u00F6\u00FC").arg(p).arg(code));
    }
    return ScrambleText(t.GetDataText());
}

void BM_LoadLanguageFile(benchmark::State &state)
{
    const QByteArray bytes = languageFile();
    for (auto _ : state) {
        DBLanguages t;
        benchmark::DoNotOptimize(t.LoadBytes(bytes, true));
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_LoadLanguageFile)->Unit(benchmark::kMicrosecond);

// The last phrase is the longest scan; an unknown text scans the whole table twice.
void BM_Translate(benchmark::State &state)
{
    resetGlobals();
    globals().gLanguages.LoadBytes(languageFile(), true);
    globals().gLanguage = QStringLiteral("sp");
    const QString text =
        state.range(0) ? QStringLiteral("Phrase %1 in en, with Outlook and \u00E4\u00F6\u00FC").arg(kPhrases)
                       : QStringLiteral("A text nobody translated");
    for (auto _ : state)
        benchmark::DoNotOptimize(Translate(text));
    resetGlobals();
}
BENCHMARK(BM_Translate)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
