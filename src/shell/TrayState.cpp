#include "shell/TrayState.h"
#include "endpoints/PhoneModels.h"
#include "platform/MessageBox.h"

namespace orvia {

namespace {

constexpr int kLeftButtonUp = 514;
constexpr int kLeftButtonDoubleClick = 515;
constexpr int kRightButtonUp = 517;

// A run can be asked for: the phone is in place, or it can be looked for on the saved port first.
bool startable(const TrayWindowsView &view)
{
    return view.driverInPlace || view.phoneCanBeSought;
}

} // namespace

TrayState::TrayState(ITimerFactory &timers) : m_flash(timers.createTimer())
{
    m_flash->setInterval(FlashIntervalMs);
    m_flash->setEnabled(false);
    m_flash->setOnTick([this] { onFlashTick(); });
    ToolTip(kAppTitle);
}

TrayState::~TrayState()
{
    m_flash->setEnabled(false);
    m_flash->setOnTick({});
}

void TrayState::SetState(TrayIcon state)
{
    if (!m_ownerIsMain)
        return;
    switch (state) {
    case TrayIcon::Stopped:
    case TrayIcon::Ready:
        m_state = state;
        m_flash->setEnabled(false);
        break;
    case TrayIcon::Busy:
        m_state = state;
        m_flashPhase = 0;
        // Restart the count so that phase 0 shows for a full interval after a repeated busy.
        m_flash->setEnabled(false);
        m_flash->setEnabled(true);
        break;
    default:
        break; // unknown states keep the icon, but the record is still sent
    }
    notify();
}

void TrayState::ToolTip(const QString &text)
{
    if (!m_ownerIsMain)
        return;
    // The shell's field holds 64 characters including the terminator; a text that filled it
    // completely would be read on past its end, so keep room for the terminator.
    m_tip = text.left(TipCapacity - 1);
    notify();
}

void TrayState::setEnabled(bool on)
{
    m_enabled = on;
}

bool TrayState::flashing() const
{
    return m_flash->enabled();
}

QString TrayState::iconName() const
{
    switch (m_state) {
    case TrayIcon::Ready:
        return QStringLiteral(":/icons/ready.png");
    case TrayIcon::Busy:
        return QStringLiteral(":/icons/busy%1.png").arg(m_flashPhase + 1);
    case TrayIcon::Stopped:
        break;
    }
    return QStringLiteral(":/icons/stop.png");
}

TrayMouseAction TrayState::onMouseMessage(int message, const TrayWindowsView &view)
{
    switch (message) {
    case kLeftButtonUp:
    case kLeftButtonDoubleClick:
        if (view.trayVisible)
            return TrayMouseAction::None;
        applyRuleA(view);
        return TrayMouseAction::ShowWindow;
    case kRightButtonUp:
        applyRuleB(view);
        return TrayMouseAction::PopupMenu;
    default:
        return TrayMouseAction::None;
    }
}

void TrayState::onActivated(const TrayWindowsView &view, const QString &phoneDescription)
{
    applyRuleA(view);
    showPhonePicture(phoneDescription);
}

bool TrayState::startAllowed(const TrayWindowsView &view)
{
    return !view.mainVisible && !view.setupVisible && startable(view);
}

void TrayState::applyRuleA(const TrayWindowsView &view)
{
    const bool on = startAllowed(view);
    m_commands.menuSync = on;
    m_commands.startButtons = on;
}

void TrayState::applyRuleB(const TrayWindowsView &view)
{
    const bool setupOn = !view.trayVisible && !view.mainVisible && !view.setupVisible;
    const bool syncOn = setupOn && startable(view);
    m_commands.popupSetup = setupOn;
    m_commands.popupSync = syncOn;
    m_commands.startButtons = syncOn;
}

int TrayState::pictureForModel(const QString &phoneDescription)
{
    return modelPicture(phoneDescription);
}

QString TrayState::pictureName(int picture)
{
    const QString code = modelOfPicture(picture);
    return code.isEmpty() ? QString() : QStringLiteral(":/phones/%1.png").arg(code);
}

bool TrayState::showPhonePicture(const QString &phoneDescription)
{
    const int picture = pictureForModel(phoneDescription);
    if (picture == m_shownPicture)
        return false;
    m_shownPicture = picture;
    return true;
}

void TrayState::onFlashTick()
{
    if (m_state != TrayIcon::Busy)
        return;
    m_flashPhase = (m_flashPhase + 1) % FlashPhases;
    notify();
}

void TrayState::notify()
{
    if (auto f = m_onNotify)
        f();
}

} // namespace orvia
