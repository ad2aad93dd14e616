#pragma once
// The splash window shown while the program starts: product picture, status line, version and build.
// It stays at least three seconds; on the first run its timer hands over to the first-run window.
#include "engine/SplashWindow.h"
#include "platform/MessageBox.h"
#include "platform/Timer.h"
#include "shell/ProgramVersion.h"
#include <QWidget>
#include <functional>
#include <memory>

class QLabel;

namespace orvia {

class frmSplash : public QWidget, public ISplashWindow
{
    Q_OBJECT
public:
    static constexpr int MinimumShowMs = 3000;

    struct Hooks
    {
        std::function<void()> showTrayWindow; // normal state, shown, not modal
        std::function<void()> showFirstRun;   // the first-run window, modal
    };

    // `exeFileName` and `commandLine` (the arguments) decide whether the timer shows the tray window:
    // only for the main program, and not when started "silent".
    frmSplash(ITimerFactory &timers, IMessageLoop *loop, ProgramVersion version, QString exeFileName,
              QString commandLine, QString appTitle = kAppTitle, QWidget *parent = nullptr);
    ~frmSplash() override;
    void setHooks(Hooks hooks) { m_hooks = std::move(hooks); }

    // Shows the splash, not modal; the first showing loads it (arms the three-second timer).
    void showSplash();
    // Status line, version and build labels.
    void SetStatus(const QString &s);
    // Start-up failed: hidden for good, timer stopped.
    void unload();
    // The tray window is wanted while the splash still waits for its three seconds: it opens when
    // the splash goes (also when started "silent"), not over the splash. False when the splash is
    // not waiting, and the caller shows the tray window itself.
    bool showTrayWindowOnClose();

    // ISplashWindow
    void setAutoconn(bool on) override { m_autoconn = on; }
    void CloseSplash() override;
    bool isSplashVisible() const override { return isVisible(); }
    void hideSplash() override { hide(); }

    bool autoconn() const { return m_autoconn; }
    bool closePending() const { return m_closePending; }
    bool usesProductPicture() const { return m_productPicture; }
    QString statusText() const;
    QString versionText() const;
    QString buildText() const;

private:
    void load();
    void onTimer();

    std::unique_ptr<ITimer> m_timer; // Timer1
    IMessageLoop *m_loop;
    ProgramVersion m_version;
    QString m_exeFileName;
    QString m_commandLine;
    QString m_appTitle;
    Hooks m_hooks;
    QLabel *m_picture, *LInit, *lblVersion, *LBuild;
    bool m_loaded = false;
    bool m_autoconn = false;
    bool m_closePending = false;
    bool m_trayWanted = false;
    bool m_productPicture = false;
};

} // namespace orvia
