// kivo's start-up up to the tray icon, on the program's own windows with test doubles for the
// platform: building every window and the run hub, loading lang.dbl, opening the desktop store,
// captions, tray and splash. The whole program should reach its tray in well under a second.
#include "common/Globals.h"
#include "shell/KivoProgram.h"
#include "shell/SetupHooks.h"
#include "support/FakeSystemServices.h"
#include "support/ManualTime.h"
#include "support/MemorySettingsStore.h"
#include "support/ScriptedMessageBox.h"
#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace orvia;
using namespace orvia::test;

namespace {

class IdleSetupWindow : public ISetupWindow
{
public:
    void Init(FormMain *, OutlookControl *) override {}
    bool isWindowShown() const override { return false; }
    bool isWindowMinimised() const override { return false; }
    void SelectTab(int) override {}
    void showWindow() override {}
    void startAutoDetection() override {}
    bool phoneCanBeSought() const override { return false; }
    bool seekPhoneForRun(std::function<void()>) override { return false; }
};

void BM_KivoStartToTray(benchmark::State &state)
{
    QTemporaryDir dir;
    ManualTime time;
    ScriptedMessageBox boxes;
    MemorySettingsStore settings;
    FakeSystemServices system;
    system.addProcess(QStringLiteral("kivo"));
    Platform platform;
    platform.timers = &time;
    platform.clock = &time;
    platform.loop = &time;
    platform.messageBox = &boxes;
    platform.settings = &settings;
    platform.system = &system;
    KivoOptions options;
    options.languageFile = QCoreApplication::applicationDirPath() + QStringLiteral("/lang.dbl");
    options.storeRoot = dir.path() + QStringLiteral("/pim");
    options.exeFileName = QStringLiteral("kivo");
    options.endProgram = [] {};
    options.createSetup = [](const SetupWindowContext &) { return std::make_unique<IdleSetupWindow>(); };
    for (auto _ : state) {
        resetGlobals();
        KivoProgram program(platform, nullptr, options);
        const StartResult r = program.start();
        if (r != StartResult::Running) {
            state.SkipWithError("start-up failed (lang.dbl next to the benchmark?)");
            break;
        }
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(BM_KivoStartToTray)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
