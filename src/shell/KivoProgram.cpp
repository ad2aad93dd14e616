#include "shell/KivoProgram.h"
#include "common/Globals.h"
#include "endpoints/OutlookControl.h"
#include "engine/FormMain.h"
#include "engine/MrPolicy.h"
#include "shell/FormAbout.h"
#include "shell/FormAutoConn.h"
#include "shell/FormErrorLog.h"
#include "shell/FormMainWindow.h"
#include "shell/FrmSysTray.h"
#include "shell/SetupHooks.h"
#include "shell/SetupWindowFactory.h"
#include "shell/ShellWindows.h"
#include "shell/ToolkitTranslation.h"
#include "shell/frmSplash.h"

namespace orvia {

KivoProgram::KivoProgram(Platform platform, ICommControl *comm, KivoOptions options)
    : m_platform(platform), m_comm(comm), m_options(std::move(options))
{
    m_outlook = std::make_unique<OutlookControl>(m_options.storeRoot, m_platform.loop);
    m_policy = std::make_unique<MrPolicy>(m_platform.clock, m_platform.loop);
    m_window = std::make_unique<FormMainWindow>();
    m_splash = std::make_unique<frmSplash>(*m_platform.timers, m_platform.loop, m_options.version,
                                           m_options.exeFileName, m_options.commandLine);

    FrmSysTray::Services services;
    services.timers = m_platform.timers;
    services.loop = m_platform.loop;
    services.messageBox = m_platform.messageBox;
    services.system = m_platform.system;
    services.helpFile = m_options.helpFile;
    services.endProgram = m_options.endProgram;
    services.showAbout = [this] { showAbout(); };
    m_tray = std::make_unique<FrmSysTray>(std::move(services));
    m_shell = std::make_unique<ShellWindows>(*m_tray, *m_splash, *m_window, [this] { showDetails(); });

    FormMain::Deps deps;
    deps.platform = m_platform;
    deps.comm = m_comm;
    deps.view = m_window.get();
    deps.tray = &m_tray->trayState();
    deps.shell = m_shell.get();
    deps.outlook = m_outlook.get();
    deps.policy = m_policy.get();
    m_hub = std::make_unique<FormMain>(deps);
    m_window->setHub(m_hub.get());
    m_outlook->setOwner(m_hub.get());

    SetupWindowContext setup;
    setup.platform = m_platform;
    setup.comm = m_comm;
    setup.tray = &m_tray->trayState();
    setup.shell = m_shell.get();
    setup.splash = m_splash.get();
    setup.trayWindow = m_tray.get();
    m_setup = m_options.createSetup ? m_options.createSetup(setup) : createSetupWindow(setup);

    frmSplash::Hooks splashHooks;
    splashHooks.showTrayWindow = [this] { m_tray->showTrayWindow(); };
    splashHooks.showFirstRun = [this] { showFirstRun(); };
    m_splash->setHooks(std::move(splashHooks));
}

KivoProgram::~KivoProgram()
{
    // The windows go before the hub they call; the hub before the services it holds.
    m_setup.reset();
    if (m_window)
        m_window->setHub(nullptr);
    m_hub.reset();
    m_details.reset();
    m_shell.reset();
    m_tray.reset();
    m_splash.reset();
    m_window.reset();
    m_toolkitTexts.reset();
}

StartResult KivoProgram::start()
{
    StartHooks hooks;
    hooks.hideMain = [this] { m_window->hide(); };
    // A second copy that is about to quit must not move the running copy's log aside.
    hooks.soleCopy = [this] {
        if (!m_options.logFile.isEmpty())
            globals().gLog.openFile(m_options.logFile);
    };
    hooks.showSplash = [this] { m_splash->showSplash(); };
    hooks.splashStatus = [this](const QString &s) { m_splash->SetStatus(s); };
    hooks.unloadSplash = [this] { m_splash->unload(); };
    hooks.languageSet = [this] {
        const QString language = globals().gLanguage;
        if (!m_toolkitTexts)
            m_toolkitTexts = std::make_unique<ToolkitTranslation>();
        if (!m_toolkitTexts->follow(language))
            globals().gLog.log(QStringLiteral("No toolkit translation for ") + language);
    };
    hooks.translateCaptions = [this] { m_window->translateCaptions(); };
    hooks.loadTray = [this] {
        m_tray->load(m_hub.get(), m_window.get(), m_setup.get());
        m_tray->trayState().SetState(TrayIcon::Stopped);
    };
    hooks.initSetup = [this] { m_setup->Init(m_hub.get(), m_outlook.get()); };
    const StartResult result = ProgramStart(m_platform, *m_outlook, hooks, m_options.languageFile).run();
    if (result != StartResult::Running) {
        // Nothing stays on screen: the program ends.
        m_window->hide();
        m_splash->unload();
    }
    return result;
}

void KivoProgram::sessionEnding()
{
    m_window->closeForSessionEnd();
}

FormErrorLog &KivoProgram::details()
{
    if (!m_details)
        m_details = std::make_unique<FormErrorLog>(m_window.get());
    return *m_details;
}

void KivoProgram::showFirstRun()
{
    if (m_options.showFirstRun) {
        m_options.showFirstRun();
        return;
    }
    FormAutoConn first(m_setup.get());
    first.exec();
}

void KivoProgram::showAbout()
{
    if (m_options.showAbout) {
        m_options.showAbout();
        return;
    }
    FormAbout about(*m_platform.system, m_options.version, m_tray.get());
    about.exec();
}

void KivoProgram::showDetails()
{
    if (m_options.showDetails) {
        m_options.showDetails();
        return;
    }
    FormErrorLog &d = details();
    d.refresh();
    d.exec();
}

} // namespace orvia
