#pragma once
// The program's start-up, in its fixed order: log, clean-up after an update, single instance, splash,
// language file, desktop store, captions, tray, phone detection. Each window it touches is a hook so
// that the order and the three start-up failures can be tested without windows.
#include <QString>
#include <functional>

namespace orvia {

struct Platform;
class OutlookControl;

struct StartHooks
{
    std::function<void()> hideMain;
    std::function<void()> soleCopy; // no other copy runs: the log file may be taken over
    std::function<void()> showSplash;
    std::function<void(const QString &)> splashStatus;
    std::function<void()> unloadSplash;
    std::function<void()> languageSet;       // the current language is known
    std::function<void()> translateCaptions; // FormMain's labels and buttons
    std::function<void()> loadTray;          // load the tray window, stop icon
    std::function<void()> initSetup;         // the setup window lists the ports and detects the phone
};

enum class StartResult
{
    Running,
    AlreadyRunning,
    NoLanguageFile,
    NoDesktopStore
};

class ProgramStart
{
public:
    // `languageFile`: the full path of "lang.dbl" (next to the program).
    ProgramStart(Platform &platform, OutlookControl &outlook, StartHooks hooks, QString languageFile);
    StartResult run();

private:
    // The language of the locale, unless the settings choose one.
    void chooseLanguage();

    Platform &m_platform;
    OutlookControl &m_outlook;
    StartHooks m_hooks;
    QString m_languageFile;
};

} // namespace orvia
