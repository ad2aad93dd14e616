// kivo: the tray application. main() builds the program's objects once and runs the start-up.
#include "common/Globals.h"
#include "endpoints/OutlookControl.h"
#include "endpoints/ShellCallbacks.h"
#include "engine/FormMain.h"
#include "engine/MrPolicy.h"
#include "engine/ShellHooks.h"
#include "platform/SerialCommControl.h"
#include "platform/StderrMessageBox.h"
#include "platform/SystemPlatform.h"
#include "platform/pim/PimNamespace.h"
#include "shell/FormMainWindow.h"
#include "shell/ProgramStart.h"
#include "shell/TranslateCaption.h"
#include "shell/WidgetMessageBox.h"
#include <QApplication>
#include <QDir>
#include <memory>

using namespace orvia;

namespace {

// Until the tray window is in place: the run's tray calls are accepted and the program ends on quit.
class ShellStandIn : public ITrayState, public IShellHooks
{
public:
    void SetState(int) override {}
    void ToolTip(const QString &) override {}
    void setEnabled(bool) override {}
    void closeSplash() override {}
    void showTrayWindow() override {}
    void showDetails() override {}
    void quit() override { QCoreApplication::quit(); }
    int meQueryUnload(int, int) override { return 1; }
    void meResize() override {}
};

bool headless()
{
    const QString qpa = QGuiApplication::platformName();
    return qpa == QLatin1String("offscreen") || qpa == QLatin1String("minimal");
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kivo"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.0.0"));
    QApplication::setQuitOnLastWindowClosed(false);

    globals().gLog.openFile(MrLog::defaultFilePath());

    // Without a display nobody could answer a modal box: say it on standard error instead.
    std::unique_ptr<IMessageBox> box;
    if (headless())
        box = std::make_unique<StderrMessageBox>();
    else
        box = std::make_unique<WidgetMessageBox>();
    SystemPlatform system(box.get());
    Platform &platform = system.platform();
    std::unique_ptr<SerialCommControl> comm = system.createCommControl();

    const QString storeRoot = platform.settings->get(
        kSettingsApp, kSettingsSection, QStringLiteral("store_root"), pim::PimApplication::defaultRoot());
    OutlookControl outlook(storeRoot, platform.loop);
    MrPolicy policy(platform.clock, platform.loop);
    FormMainWindow window;
    ShellStandIn shell;

    FormMain::Deps deps;
    deps.platform = platform;
    deps.comm = comm.get();
    deps.view = &window;
    deps.tray = &shell;
    deps.shell = &shell;
    deps.outlook = &outlook;
    deps.policy = &policy;
    FormMain hub(deps);
    window.setHub(&hub);
    outlook.setOwner(&hub);

    StartHooks hooks;
    hooks.hideMain = [&] { window.hide(); };
    hooks.translateCaptions = [&] { TranslateCaption(&window); };
    ProgramStart start(platform, outlook, hooks,
                       QCoreApplication::applicationDirPath() + QStringLiteral("/lang.dbl"));
    if (start.run() != StartResult::Running)
        return 0;
    return QCoreApplication::exec();
}
