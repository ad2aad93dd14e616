#pragma once
// The program's objects, built once: the desktop access, the policy, the run hub with its progress
// window, the tray, splash, first-run, details and setup windows; and the start-up that brings them
// up in order. main() gives it the real platform; tests give it doubles.
#include "platform/Platform.h"
#include "shell/ProgramStart.h"
#include "shell/ProgramVersion.h"
#include "shell/SetupWindowFactory.h"
#include <QString>
#include <functional>
#include <memory>

namespace orvia {

class FormMain;
class FormMainWindow;
class FrmSysTray;
class frmSplash;
class FormErrorLog;
class ISetupWindow;
class OutlookControl;
class MrPolicy;
class ShellWindows;
class ICommControl;
class ToolkitTranslation;

struct KivoOptions
{
    QString languageFile; // lang.dbl
    QString helpFile;     // the local help page
    QString storeRoot;    // the desktop store's folder tree
    QString exeFileName;  // the running program's file name
    QString logFile;      // where the log is kept once no other copy runs; empty: in memory only
    QString commandLine;  // its arguments, joined by blanks
    ProgramVersion version;
    std::function<void()> endProgram; // the tray's quit: end at once
    // The modal windows; empty means the real windows. Tests record them instead.
    std::function<void()> showFirstRun;
    std::function<void()> showAbout;
    std::function<void()> showDetails;
    // The setup window; empty means the program's own.
    std::function<std::unique_ptr<ISetupWindow>(const SetupWindowContext &)> createSetup;
};

class KivoProgram
{
public:
    KivoProgram(Platform platform, ICommControl *comm, KivoOptions options);
    ~KivoProgram();
    KivoProgram(const KivoProgram &) = delete;
    KivoProgram &operator=(const KivoProgram &) = delete;

    // The start-up sequence; anything but Running means the program is to end.
    StartResult start();
    // The end of the user's session: the main window is closed with the session's unload mode.
    void sessionEnding();

    FormMain &hub() { return *m_hub; }
    FormMainWindow &mainWindow() { return *m_window; }
    FrmSysTray &tray() { return *m_tray; }
    frmSplash &splash() { return *m_splash; }
    FormErrorLog &details();
    ISetupWindow &setup() { return *m_setup; }
    OutlookControl &outlook() { return *m_outlook; }

private:
    void showFirstRun();
    void showAbout();
    void showDetails();

    Platform m_platform;
    ICommControl *m_comm;
    KivoOptions m_options;
    std::unique_ptr<OutlookControl> m_outlook;
    std::unique_ptr<MrPolicy> m_policy;
    std::unique_ptr<FormMainWindow> m_window;
    std::unique_ptr<frmSplash> m_splash;
    std::unique_ptr<FrmSysTray> m_tray;
    std::unique_ptr<FormErrorLog> m_details;
    std::unique_ptr<ShellWindows> m_shell;
    std::unique_ptr<FormMain> m_hub;
    std::unique_ptr<ISetupWindow> m_setup;
    std::unique_ptr<ToolkitTranslation> m_toolkitTexts;
};

} // namespace orvia
