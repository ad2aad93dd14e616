#pragma once
// The tray icon's state without any widget: icon (stopped, ready, flashing busy), tip text, the
// window's enabled flag, which commands a click enables, and which handset picture applies. A
// system-tray widget attaches through setOnNotify and reads iconName()/toolTip().
#include "endpoints/ShellCallbacks.h"
#include "platform/Timer.h"
#include <QString>
#include <functional>
#include <memory>

namespace orvia {

// What the enable rules look at, sampled at the moment of the click or activation.
struct TrayWindowsView
{
    bool trayVisible = false;
    bool mainVisible = false;
    bool setupVisible = false;
    bool driverInPlace = false; // FormMain.handler is a phone driver (not empty, not the setup window)
    // No driver, but a port is saved and no detection is under way: a start request looks for the
    // phone there first, so the start commands stay offered.
    bool phoneCanBeSought = false;
};

// Enabled flags of the commands that the rules change; all others are always enabled.
struct TrayCommands
{
    bool menuSync = true;      // mSync2(0), mSync2(1): rule A
    bool popupSync = true;     // mSync(0), mSync(1): rule B
    bool startButtons = false; // Cmd_start_pb, Cmd_start_cal: the last rule applied
    bool popupSetup = true;    // mSetup, mCheckUpd: rule B
};

enum class TrayMouseAction
{
    None,
    ShowWindow,
    PopupMenu
};

class TrayState : public ITrayState
{
public:
    static constexpr int FlashIntervalMs = 400;
    static constexpr int FlashPhases = 4;
    static constexpr int TipCapacity = 64; // the shell's tip field, terminator included

    explicit TrayState(ITimerFactory &timers);
    ~TrayState() override;

    // ITrayState
    void SetState(TrayIcon state) override;
    void ToolTip(const QString &text) override;
    void setEnabled(bool on) override;

    // SetState and ToolTip act only while the owner is the synchronisation's main window.
    void setOwnerIsMain(bool yes) { m_ownerIsMain = yes; }

    // Runs whenever the icon record would be sent to the shell (state, tip or flash phase).
    void setOnNotify(std::function<void()> f) { m_onNotify = std::move(f); }

    TrayIcon state() const { return m_state; }
    int flashPhase() const { return m_flashPhase; }
    bool flashing() const;
    QString iconName() const;
    QString toolTip() const { return m_tip; }
    bool enabled() const { return m_enabled; }

    // Mouse messages from the icon: left up / double click show a hidden window after rule A;
    // right up applies rule B and asks for the popup menu.
    TrayMouseAction onMouseMessage(int message, const TrayWindowsView &view);
    // The window was activated: rule A, then the handset picture for the driver's description.
    void onActivated(const TrayWindowsView &view, const QString &phoneDescription);

    // Rule A's verdict: the window's start buttons and its menu's start entries may start a run.
    static bool startAllowed(const TrayWindowsView &view);
    void applyRuleA(const TrayWindowsView &view);
    void applyRuleB(const TrayWindowsView &view);
    const TrayCommands &commands() const { return m_commands; }

    // 1..9 for the known model codes (exact, case-sensitive), 0 for anything else.
    static int pictureForModel(const QString &phoneDescription);
    static QString pictureName(int picture); // empty for 0
    int shownPicture() const { return m_shownPicture; }
    // Returns true when the visible picture changed.
    bool showPhonePicture(const QString &phoneDescription);

private:
    void onFlashTick();
    void notify();

    std::unique_ptr<ITimer> m_flash;
    std::function<void()> m_onNotify;
    QString m_tip;
    TrayCommands m_commands;
    TrayIcon m_state = TrayIcon::Stopped;
    int m_flashPhase = 0;
    int m_shownPicture = 0;
    bool m_enabled = true;
    bool m_ownerIsMain = true;
};

} // namespace orvia
