#include "shell/frmSplash.h"
#include "common/Translation.h"
#include "platform/SystemServices.h"
#include "shell/ScreenPlacement.h"
#include <QLabel>
#include <utility>

namespace orvia {

namespace {
constexpr int kWidth = 361;
constexpr int kHeight = 293;
} // namespace

frmSplash::frmSplash(ITimerFactory &timers, IMessageLoop *loop, ProgramVersion version, QString exeFileName,
                     QString commandLine, QString appTitle, QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint), m_timer(timers.createTimer()),
      m_loop(loop), m_version(version), m_exeFileName(std::move(exeFileName)),
      m_commandLine(std::move(commandLine)), m_appTitle(std::move(appTitle))
{
    setObjectName(QStringLiteral("frmSplash"));
    setFixedSize(kWidth, kHeight);
    m_timer->setInterval(MinimumShowMs);
    m_timer->setEnabled(false);
    m_timer->setOnTick([this] { onTimer(); });

    m_picture = new QLabel(this);
    m_picture->setGeometry(0, 0, kWidth, kHeight);
    const QString white = QStringLiteral("color: white; background: transparent;");
    LInit = new QLabel(this);
    LInit->setObjectName(QStringLiteral("LInit"));
    LInit->setAlignment(Qt::AlignCenter);
    LInit->setWordWrap(true);
    QFont bold = LInit->font();
    bold.setBold(true);
    LInit->setFont(bold);
    LInit->setStyleSheet(white);
    LInit->setGeometry(16, 150, kWidth - 32, 48);
    lblVersion = new QLabel(QStringLiteral("Version 1.1"), this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    lblVersion->setStyleSheet(white);
    lblVersion->setGeometry(24, kHeight - 40, 150, 24);
    LBuild = new QLabel(QStringLiteral("Build 56"), this);
    LBuild->setObjectName(QStringLiteral("LBuild"));
    LBuild->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    LBuild->setStyleSheet(white);
    LBuild->setGeometry(kWidth - 174, kHeight - 40, 150, 24);
}

frmSplash::~frmSplash()
{
    m_timer->setEnabled(false);
    m_timer->setOnTick({});
}

void frmSplash::load()
{
    m_loaded = true;
    lblVersion->clear();
    LBuild->clear();
    m_productPicture = m_appTitle == QStringLiteral("Velmora Orvia Link");
    m_picture->setPixmap(QPixmap(m_productPicture ? QStringLiteral(":/images/splash.png")
                                                  : QStringLiteral(":/images/splash_sibling.png")));
    if (m_loop)
        m_loop->yieldOnce();
    m_timer->setInterval(MinimumShowMs);
    m_timer->setEnabled(true);
}

void frmSplash::showSplash()
{
    if (!m_loaded) {
        load();
        centreOnScreen(*this);
    }
    show();
    raise();
}

void frmSplash::SetStatus(const QString &s)
{
    LInit->setText(s);
    lblVersion->setText(Translate(QStringLiteral("Version")) + QLatin1Char(' ') + m_version.majorMinor());
    LBuild->setText(Translate(QStringLiteral("build")) + QLatin1Char(' ') +
                    QString::number(m_version.revision));
}

void frmSplash::unload()
{
    m_timer->setEnabled(false);
    m_trayWanted = false;
    hide();
}

bool frmSplash::showTrayWindowOnClose()
{
    if (!isVisible() || !m_timer->enabled())
        return false;
    m_trayWanted = true;
    return true;
}

void frmSplash::CloseSplash()
{
    if (m_timer->enabled())
        m_closePending = true;
    else
        hide();
}

void frmSplash::onTimer()
{
    m_timer->setEnabled(false);
    bool showTray = std::exchange(m_trayWanted, false);
    if (!m_autoconn && !m_closePending && !showTray)
        return;
    if (isVisible()) {
        hide();
        const bool mainProgram = m_exeFileName.contains(kMainExecutable);
        const bool silent = m_commandLine.contains(QStringLiteral("silent"));
        showTray = showTray || (mainProgram && !silent);
    }
    if (showTray) {
        if (m_loop)
            m_loop->yieldOnce();
        if (m_hooks.showTrayWindow)
            m_hooks.showTrayWindow();
        if (m_loop)
            m_loop->yieldOnce();
    }
    if (m_autoconn && m_hooks.showFirstRun)
        m_hooks.showFirstRun();
}

QString frmSplash::statusText() const
{
    return LInit->text();
}

QString frmSplash::versionText() const
{
    return lblVersion->text();
}

QString frmSplash::buildText() const
{
    return LBuild->text();
}

} // namespace orvia
