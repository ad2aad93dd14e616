#include "shell/ProgramStart.h"
#include "common/Globals.h"
#include "common/SystemInfo.h"
#include "common/Translation.h"
#include "endpoints/OutlookControl.h"
#include "platform/MessageBox.h"
#include "platform/Platform.h"
#include <QCoreApplication>
#include <QDateTime>
#include <QLocale>

namespace orvia {

namespace {
void logLine(const QString &s)
{
    globals().gLog.log(s);
}
void call(const std::function<void()> &f)
{
    if (f)
        f();
}
} // namespace

ProgramStart::ProgramStart(Platform &platform, OutlookControl &outlook, StartHooks hooks,
                           QString languageFile)
    : m_platform(platform), m_outlook(outlook), m_hooks(std::move(hooks)),
      m_languageFile(std::move(languageFile))
{
}

void ProgramStart::chooseLanguage()
{
    InitLanguageFromLocale(*m_platform.system);
    const QString chosen = m_platform.settings->get(kSettingsApp, kSettingsSection,
                                                    QStringLiteral("language"), QStringLiteral("local"));
    if (chosen != QLatin1String("local") && !chosen.isEmpty())
        globals().gLanguage = chosen;
}

StartResult ProgramStart::run()
{
    Globals &g = globals();
    call(m_hooks.hideMain);
    logLine(QStringLiteral("Version ") + QCoreApplication::applicationVersion());
    RemovePendingDir(*m_platform.settings, *m_platform.system);

    if (CountProcesses(*m_platform.system, m_platform.system->mainExecutableName()) >= 2) {
        logLine(QStringLiteral("Already runnning."));
        // The user's language when the texts can be read; this copy has no window of its own, so its
        // box comes up in front of the running copy's windows, and the copy ends once it is answered.
        if (g.gLanguages.Load(m_languageFile, true))
            chooseLanguage();
        m_platform.messageBox->show(Translate(QStringLiteral("This program is already running.")),
                                    mb::OkOnly | mb::Foreground);
        return StartResult::AlreadyRunning;
    }
    call(m_hooks.soleCopy);

    call(m_hooks.showSplash);
    logLine(QStringLiteral("Splash shown"));

    if (!g.gLanguages.Load(m_languageFile, true)) {
        logLine(QStringLiteral("No language file."));
        m_platform.messageBox->show(
            QStringLiteral("Could not find file the language file.\r\nThe program will quit."));
        call(m_hooks.unloadSplash);
        return StartResult::NoLanguageFile;
    }

    chooseLanguage();
    call(m_hooks.languageSet);

    logLine(QStringLiteral("Dbl load"));
    if (m_hooks.splashStatus)
        m_hooks.splashStatus(Translate(QStringLiteral("Loading Outlook...")));

    if (!m_outlook.Init()) {
        logLine(QStringLiteral("No outlook."));
        call(m_hooks.unloadSplash);
        m_platform.messageBox->show(
            QStringLiteral("Microsoft Outlook\u2122 not detected.\r\nThe program will quit."));
        return StartResult::NoDesktopStore;
    }

    logLine(QStringLiteral("Outlook load"));
    call(m_hooks.translateCaptions);
    call(m_hooks.loadTray);

    const QDateTime now = m_platform.clock->now();
    logLine(QLocale::system().toString(now.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
            QLocale::system().toString(now.time(), QLocale::LongFormat));
    logLine(QStringLiteral("OS: ") + GetWinVersion(*m_platform.system));

    logLine(QStringLiteral("Init mrwho"));
    if (m_hooks.splashStatus)
        m_hooks.splashStatus(Translate(QStringLiteral("Connecting phone...")));
    call(m_hooks.initSetup);
    return StartResult::Running;
}

} // namespace orvia
