#pragma once
// The tray window: the notification-area icon (stopped, ready, flashing busy), the window with its
// start buttons, menus and handset picture, the icon's popup menu, and the close and quit policy
// the other windows share. The widget-free rules live in TrayState.
#include "shell/TrayState.h"
#include <QMainWindow>
#include <QPointer>
#include <array>
#include <functional>

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QSystemTrayIcon;

namespace orvia {

class FormMain;
class IMessageBox;
class IMessageLoop;
class ISystemServices;
class ISetupWindow;

class FrmSysTray : public QMainWindow
{
    Q_OBJECT
public:
    static constexpr int kLeftButtonUp = 514;
    static constexpr int kLeftButtonDoubleClick = 515;
    static constexpr int kRightButtonUp = 517;

    struct Services
    {
        ITimerFactory *timers = nullptr;
        IMessageLoop *loop = nullptr;
        IMessageBox *messageBox = nullptr;
        ISystemServices *system = nullptr; // shows the help page
        QString helpFile;                  // the local help page
        std::function<void()> endProgram;  // ends the program at once
        std::function<void()> showAbout;   // the about window, modal, owned by this window
    };

    explicit FrmSysTray(Services services, QWidget *parent = nullptr);
    ~FrmSysTray() override;

    // The window's load, run once by the start-up: owner and setup window, captions, tip, the icon.
    void load(FormMain *owner, QWidget *ownerWindow, ISetupWindow *setup);

    // What the engine and the drivers call (SetState, ToolTip, Enabled).
    ITrayState &trayState();
    const TrayState &state() const { return m_state; }

    // The close policy of the main and setup windows; returns the new Cancel value.
    int MeQueryUnload(QWidget *f, int cancel, int unloadMode);
    void MeResize(QWidget *f);
    // Removes the icon and ends the program.
    void quit();
    void mExit_Click() { quit(); }
    // Normal state, shown, not modal (the splash's timer, detection, the Done button).
    void showTrayWindow();

    // A mouse message from the icon (514 left up, 515 left double click, 517 right up).
    void trayMouse(int message);
    void mSync_Click(int index);
    // The phone a start request waited for is in place: the run starts if a click could start it.
    void startWaitingRun(int index);
    void mSetup_Click();
    void mCheckUpd_Click();
    void mHelp_Click();
    void mAbout_Click();
    // The window became the active window: rule A and the handset picture.
    void onActivate();

    QSystemTrayIcon *icon() const { return m_icon; }
    QMenu *popupMenu() const { return mPopupMenu; }
    QAction *action(const QString &name) const;
    QPushButton *button(const QString &name) const;
    int visiblePicture() const; // 0 when no handset picture is shown
    QString currentIconName() const { return m_iconName; }
    bool iconRegistered() const { return m_iconAdded; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool event(QEvent *event) override;

private:
    TrayWindowsView windowsView() const;
    QString phoneDescription() const;
    void applyCommands();
    void helpNotOpened(const QString &file);
    void refreshIcon();
    void translateCaptions();
    void buildMenus();
    void buildClient();
    void wireCommands();
    QAction *addAction(QMenu *menu, const char *name, const QString &caption);
    QIcon iconFor(const QString &resource);

    class StateSink;
    Services m_services;
    TrayState m_state;
    std::unique_ptr<StateSink> m_sink;
    FormMain *m_owner = nullptr;
    QPointer<QWidget> m_ownerWindow;
    ISetupWindow *m_setup = nullptr;
    QSystemTrayIcon *m_icon = nullptr;
    bool m_iconAdded = false;
    QString m_iconName;
    QMenu *mFile, *mTools, *mQuestion, *mPopupMenu;
    QAction *mSync2_0, *mSync2_1, *mClose, *mExit2, *mSetup2, *mCheckUpd2, *mabout, *mHelp;
    QAction *mAbout2, *mSync_0, *mSync_1, *mSetup, *mCheckUpd, *mExit;
    QPushButton *Cmd_start_pb, *Cmd_start_cal, *CmdClose;
    std::array<QLabel *, 10> PictureBgn{}; // 1..9 used
    int m_shownPicture = 0;
};

} // namespace orvia
