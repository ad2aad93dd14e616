#include "shell/FrmSysTray.h"
#include "common/Translation.h"
#include "endpoints/PhoneDriver.h"
#include "engine/FormMain.h"
#include "platform/MessageBox.h"
#include "shell/SetupHooks.h"
#include "shell/TranslateCaption.h"
#include <QCloseEvent>
#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSystemTrayIcon>

namespace orvia {

namespace {
constexpr int kClientWidth = 446;
constexpr int kClientHeight = 300;
} // namespace

// The engine's and the drivers' view of the tray: icon state, tip and the window's Enabled.
class FrmSysTray::StateSink : public ITrayState
{
public:
    explicit StateSink(FrmSysTray &w) : m_w(w) {}
    void SetState(TrayIcon state) override
    {
        m_w.m_state.SetState(state);
        // The phone came or went: a window on screen must not go on offering what is no longer so.
        if (m_w.isVisible())
            m_w.onActivate();
    }
    void ToolTip(const QString &text) override { m_w.m_state.ToolTip(text); }
    void setEnabled(bool on) override
    {
        m_w.m_state.setEnabled(on);
        m_w.QWidget::setEnabled(on);
    }

private:
    FrmSysTray &m_w;
};

FrmSysTray::FrmSysTray(Services services, QWidget *parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      m_services(std::move(services)), m_state(*m_services.timers), m_sink(std::make_unique<StateSink>(*this))
{
    setObjectName(QStringLiteral("FrmSysTray"));
    setWindowTitle(kAppTitle);
    setWindowIcon(iconFor(QStringLiteral(":/icons/kivo.png")));
    // Until the start-up makes the main window the owner, state and tip calls are not for this tray.
    m_state.setOwnerIsMain(false);
    m_state.setOnNotify([this] { refreshIcon(); });
    buildMenus();
    buildClient();
    wireCommands();

    m_icon = new QSystemTrayIcon(this);
    m_icon->setContextMenu(mPopupMenu);
    connect(m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger)
            trayMouse(kLeftButtonUp);
        else if (reason == QSystemTrayIcon::DoubleClick)
            trayMouse(kLeftButtonDoubleClick);
    });
}

void FrmSysTray::buildMenus()
{
    mFile = menuBar()->addMenu(QStringLiteral("File"));
    mFile->setObjectName(QStringLiteral("mFile"));
    mSync2_0 = addAction(mFile, "mSync2_0", QStringLiteral("Sync Contacts"));
    mSync2_1 = addAction(mFile, "mSync2_1", QStringLiteral("Sync Calendar"));
    mFile->addSeparator();
    mClose = addAction(mFile, "mClose", QStringLiteral("Close"));
    mFile->addSeparator();
    mExit2 = addAction(mFile, "mExit2", QStringLiteral("Exit"));
    mTools = menuBar()->addMenu(QStringLiteral("Tools"));
    mTools->setObjectName(QStringLiteral("mTools"));
    mSetup2 = addAction(mTools, "mSetup2", QStringLiteral("Setup"));
    mCheckUpd2 = addAction(mTools, "mCheckUpd2", QStringLiteral("Check for update"));
    mQuestion = menuBar()->addMenu(QStringLiteral("?"));
    mQuestion->setObjectName(QStringLiteral("mQuestion"));
    mabout = addAction(mQuestion, "mabout", QStringLiteral("About"));
    mHelp = addAction(mQuestion, "mHelp", QStringLiteral("Help"));

    mPopupMenu = new QMenu(QStringLiteral("PopUpMenu"), this);
    mPopupMenu->setObjectName(QStringLiteral("mPopupMenu"));
    mAbout2 = addAction(mPopupMenu, "mAbout2", QStringLiteral("About"));
    mSync_0 = addAction(mPopupMenu, "mSync_0", QStringLiteral("Sync Contacts"));
    mSync_1 = addAction(mPopupMenu, "mSync_1", QStringLiteral("Sync Calendar"));
    mPopupMenu->addSeparator();
    mSetup = addAction(mPopupMenu, "mSetup", QStringLiteral("Setup"));
    mCheckUpd = addAction(mPopupMenu, "mCheckUpd", QStringLiteral("Check for update"));
    mCheckUpd->setVisible(false);
    mPopupMenu->addSeparator();
    mExit = addAction(mPopupMenu, "mExit", QStringLiteral("Quit"));
}

void FrmSysTray::buildClient()
{
    auto *client = new QLabel(this);
    client->setObjectName(QStringLiteral("Background"));
    client->setFixedSize(kClientWidth, kClientHeight);
    client->setPixmap(QPixmap(QStringLiteral(":/images/tray_background.png")));
    setCentralWidget(client);

    for (int i = 1; i <= 9; ++i) {
        auto *pic = new QLabel(client);
        pic->setObjectName(QStringLiteral("PictureBgn_%1").arg(i));
        pic->setGeometry(36, 104, 106, 150);
        pic->setPixmap(QPixmap(TrayState::pictureName(i)));
        pic->hide();
        PictureBgn[size_t(i)] = pic;
    }
    auto makeButton = [client](const char *name, const QString &caption) {
        auto *b = new QPushButton(caption, client);
        b->setObjectName(QString::fromLatin1(name));
        return b;
    };
    Cmd_start_pb = makeButton("Cmd_start_pb", QStringLiteral("Start Contacts Sync"));
    Cmd_start_pb->setGeometry(166, 118, 260, 36);
    Cmd_start_pb->setEnabled(false);
    Cmd_start_cal = makeButton("Cmd_start_cal", QStringLiteral("Start Calendar Sync"));
    Cmd_start_cal->setGeometry(166, 166, 260, 36);
    Cmd_start_cal->setEnabled(false);
    CmdClose = makeButton("CmdClose", QStringLiteral("Close"));
    CmdClose->setGeometry(306, 252, 120, 30);
}

void FrmSysTray::wireCommands()
{
    // Each command of the menus, the popup menu and the window's buttons, with what it does.
    const std::pair<QObject *, std::function<void()>> commands[] = {
        {mSync2_0, [this] { mSync_Click(0); }},
        {mSync_0, [this] { mSync_Click(0); }},
        {Cmd_start_pb, [this] { mSync_Click(0); }},
        {mSync2_1, [this] { mSync_Click(1); }},
        {mSync_1, [this] { mSync_Click(1); }},
        {Cmd_start_cal, [this] { mSync_Click(1); }},
        {mSetup, [this] { mSetup_Click(); }},
        {mSetup2, [this] { mSetup_Click(); }},
        {mCheckUpd, [this] { mCheckUpd_Click(); }},
        {mCheckUpd2, [this] { mCheckUpd_Click(); }},
        {mabout, [this] { mAbout_Click(); }},
        {mAbout2, [this] { mAbout_Click(); }},
        {mHelp, [this] { mHelp_Click(); }},
        {mClose, [this] { hide(); }},
        {CmdClose, [this] { hide(); }},
        {mExit, [this] { mExit_Click(); }},
        {mExit2, [this] { quit(); }},
    };
    for (const auto &[sender, run] : commands) {
        if (auto *a = qobject_cast<QAction *>(sender))
            connect(a, &QAction::triggered, this, run);
        else
            connect(static_cast<QPushButton *>(sender), &QPushButton::clicked, this, run);
    }
    // Hosts that open the menu themselves still get rule B first.
    connect(mPopupMenu, &QMenu::aboutToShow, this, [this] {
        m_state.applyRuleB(windowsView());
        applyCommands();
    });
    // Rule B greys the window's own start buttons only while the menu is up: once it is gone they
    // follow the window's rule again.
    connect(mPopupMenu, &QMenu::aboutToHide, this, [this] {
        m_state.applyRuleA(windowsView());
        applyCommands();
    });
}

FrmSysTray::~FrmSysTray()
{
    m_state.setOnNotify({});
}

QAction *FrmSysTray::addAction(QMenu *menu, const char *name, const QString &caption)
{
    QAction *a = menu->addAction(caption);
    a->setObjectName(QString::fromLatin1(name));
    return a;
}

QIcon FrmSysTray::iconFor(const QString &resource)
{
    return QIcon(resource);
}

void FrmSysTray::load(FormMain *owner, QWidget *ownerWindow, ISetupWindow *setup)
{
    m_setup = setup;
    m_owner = owner;
    m_ownerWindow = ownerWindow;
    m_state.setOwnerIsMain(owner != nullptr);
    translateCaptions();
    m_state.ToolTip(kAppTitle);
    setWindowState(Qt::WindowNoState);
    if (owner) {
        // The icon starts with the window's own icon; the start-up sets the stop state right after.
        m_icon->setIcon(windowIcon());
        m_icon->setToolTip(m_state.toolTip());
        m_iconAdded = true;
        // Without a tray on the desktop (headless, some sessions) the program runs on without icon.
        if (QSystemTrayIcon::isSystemTrayAvailable())
            m_icon->show();
    }
}

void FrmSysTray::translateCaptions()
{
    for (QObject *c : std::initializer_list<QObject *>{
             mSetup, mCheckUpd, mSync_0, mSync_1, mExit, mSync2_0, mSync2_1, Cmd_start_cal, Cmd_start_pb,
             CmdClose, mExit2, mSetup2, mCheckUpd2, mClose, mabout, mHelp, mFile, mTools})
        TranslateCaption(c);
}

ITrayState &FrmSysTray::trayState()
{
    return *m_sink;
}

void FrmSysTray::refreshIcon()
{
    if (!m_owner)
        return;
    m_iconName = m_state.iconName();
    const QIcon icon = iconFor(m_iconName);
    setWindowIcon(icon);
    if (m_iconAdded) {
        m_icon->setIcon(icon);
        m_icon->setToolTip(m_state.toolTip());
    }
}

TrayWindowsView FrmSysTray::windowsView() const
{
    TrayWindowsView v;
    v.trayVisible = isVisible();
    v.mainVisible = m_ownerWindow && m_ownerWindow->isVisible();
    v.setupVisible = m_setup && m_setup->isWindowShown();
    v.driverInPlace = m_owner && m_owner->phoneDriver() != nullptr;
    v.phoneCanBeSought = !v.driverInPlace && m_setup && m_setup->phoneCanBeSought();
    return v;
}

QString FrmSysTray::phoneDescription() const
{
    if (!m_owner)
        return {};
    const std::shared_ptr<IPhoneDriver> &driver = m_owner->phoneDriver();
    return driver ? driver->PhoneDescription() : QString();
}

void FrmSysTray::applyCommands()
{
    const TrayCommands &c = m_state.commands();
    mSync2_0->setEnabled(c.menuSync);
    mSync2_1->setEnabled(c.menuSync);
    mSync_0->setEnabled(c.popupSync);
    mSync_1->setEnabled(c.popupSync);
    Cmd_start_pb->setEnabled(c.startButtons);
    Cmd_start_cal->setEnabled(c.startButtons);
    mSetup->setEnabled(c.popupSetup);
    mCheckUpd->setEnabled(c.popupSetup);
}

void FrmSysTray::trayMouse(int message)
{
    switch (m_state.onMouseMessage(message, windowsView())) {
    case TrayMouseAction::ShowWindow:
        applyCommands();
        show();
        break;
    case TrayMouseAction::PopupMenu:
        applyCommands();
        mPopupMenu->popup(QCursor::pos());
        break;
    case TrayMouseAction::None:
        break;
    }
}

void FrmSysTray::onActivate()
{
    const int before = m_state.shownPicture();
    m_state.onActivated(windowsView(), phoneDescription());
    applyCommands();
    const int now = m_state.shownPicture();
    if (now != before) {
        if (before > 0)
            PictureBgn[size_t(before)]->hide();
        if (now > 0)
            PictureBgn[size_t(now)]->show();
    }
}

int FrmSysTray::visiblePicture() const
{
    for (int i = 1; i <= 9; ++i) {
        if (PictureBgn[size_t(i)]->isVisibleTo(centralWidget()))
            return i;
    }
    return 0;
}

void FrmSysTray::mSync_Click(int index)
{
    if (!m_owner || !m_ownerWindow)
        return;
    if (m_ownerWindow->isVisible() && !m_ownerWindow->isMinimized())
        return;
    // No phone in place (it went away, or was never found): a run would stop in its first step with
    // the window stuck open. The phone is looked for first, as at start-up, and the run starts once it
    // is identified; when it cannot be looked for, the user is told so.
    if (!windowsView().driverInPlace) {
        const QPointer<FrmSysTray> self(this);
        const bool seeking = m_setup && m_setup->seekPhoneForRun([self, index] {
            if (self)
                self->startWaitingRun(index);
        });
        if (!seeking && m_services.messageBox)
            m_services.messageBox->show(
                Translate(QStringLiteral("Could not find the phone. Check the connection and try again.")));
        onActivate();
        return;
    }
    m_ownerWindow->setWindowState(m_ownerWindow->windowState() & ~Qt::WindowMinimized);
    m_sink->setEnabled(false);
    m_ownerWindow->show();
    if (m_services.loop)
        m_services.loop->yieldOnce();
    if (index != 0)
        m_owner->StartCalendar();
    else
        m_owner->StartContacts();
}

void FrmSysTray::startWaitingRun(int index)
{
    // The phone was found for a run asked for earlier. Meanwhile the user may have opened the setup
    // window or started a run: the run starts only as a click on a start button could start it now.
    const TrayWindowsView view = windowsView();
    if (view.driverInPlace && TrayState::startAllowed(view))
        mSync_Click(index);
    else
        onActivate();
}

void FrmSysTray::mSetup_Click()
{
    if (!m_setup)
        return;
    if (m_setup->isWindowMinimised() || !m_setup->isWindowShown()) {
        m_setup->SelectTab(1);
        m_setup->showWindow();
    }
}

void FrmSysTray::mCheckUpd_Click()
{
    if (!m_setup)
        return;
    if (m_setup->isWindowMinimised() || !m_setup->isWindowShown()) {
        m_setup->SelectTab(4);
        m_setup->showWindow();
    }
}

void FrmSysTray::mHelp_Click()
{
    const QString file = m_services.helpFile;
    if (file.isEmpty() || !QFileInfo(file).isFile() || !m_services.system) {
        helpNotOpened(file);
        return;
    }
    // Whether a browser took the page is known only later: when the opener fails, or a few seconds on.
    const QPointer<FrmSysTray> self(this);
    m_services.system->openPage(file, [self, file](bool opened) {
        if (!opened && self)
            self->helpNotOpened(file);
    });
}

void FrmSysTray::helpNotOpened(const QString &file)
{
    if (!m_services.messageBox)
        return;
    QString text = Translate(QStringLiteral("Could not open the help page."));
    // The page is there but nothing could show it (no opener, or no browser answered): say where it is.
    if (!file.isEmpty() && QFileInfo(file).isFile())
        text += QStringLiteral("\r\n") + Translate(QStringLiteral("Open it in a web browser:")) +
                QStringLiteral("\r\n") + QDir::toNativeSeparators(QFileInfo(file).absoluteFilePath());
    m_services.messageBox->show(text);
}

void FrmSysTray::mAbout_Click()
{
    if (m_services.showAbout)
        m_services.showAbout();
}

int FrmSysTray::MeQueryUnload(QWidget *f, int cancel, int unloadMode)
{
    if (unloadMode == 0 && f) {
        cancel = 1;
        f->showMinimized();
        f->hide();
    }
    return cancel;
}

void FrmSysTray::MeResize(QWidget *f)
{
    if (f && f->isMinimized())
        f->hide();
}

void FrmSysTray::quit()
{
    m_icon->hide();
    m_iconAdded = false;
    if (m_services.endProgram)
        m_services.endProgram();
}

void FrmSysTray::showTrayWindow()
{
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
}

QAction *FrmSysTray::action(const QString &name) const
{
    return findChild<QAction *>(name);
}

QPushButton *FrmSysTray::button(const QString &name) const
{
    return findChild<QPushButton *>(name);
}

void FrmSysTray::closeEvent(QCloseEvent *event)
{
    // The tray window is never unloaded while the program runs: closing only hides it.
    event->ignore();
    hide();
}

void FrmSysTray::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isMinimized()) {
        hide();
        setWindowState(windowState() & ~Qt::WindowMinimized);
    }
}

bool FrmSysTray::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        onActivate();
    return QMainWindow::event(event);
}

} // namespace orvia
