#include "shell/UpdatePage.h"
#include "common/Translation.h"
#include "engine/UpdateCheck.h"
#include "platform/QtInternetTransfer.h"
#include "shell/TranslateCaption.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QVBoxLayout>

namespace orvia {

UpdatePage::UpdatePage(const Platform &platform, IShellHooks *shell, QWidget *parent, IInternetTransfer *inet)
    : QWidget(parent)
{
    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("TextUpdate"));
    m_text->setReadOnly(true);
    m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_text->setFocusPolicy(Qt::NoFocus);
    m_search = new QPushButton(QStringLiteral("Check for updates now"), this);
    m_search->setObjectName(QStringLiteral("CmdSearchUpd"));
    m_update = new QPushButton(QStringLiteral("Update Orvia Link"), this);
    m_update->setObjectName(QStringLiteral("CmdUpdate"));
    m_update->setEnabled(false);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_search);
    buttons->addStretch(1);
    buttons->addWidget(m_update);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_text, 1);
    layout->addLayout(buttons);

    if (!inet) {
        m_ownInet = std::make_unique<QtInternetTransfer>(platform.timers);
        inet = m_ownInet.get();
    }
    UpdateCheckDeps deps;
    deps.inet = inet;
    deps.messageBox = platform.messageBox;
    deps.settings = platform.settings;
    deps.system = platform.system;
    deps.shell = shell;
    deps.view = this;
    m_check = std::make_unique<UpdateCheck>(deps);

    connect(m_search, &QPushButton::clicked, this, [this] { m_check->CmdSearchUpd_Click(); });
    connect(m_update, &QPushButton::clicked, this, [this] { m_check->CmdUpdate_Click(); });
}

// The check goes before the transfer it listens to.
UpdatePage::~UpdatePage()
{
    m_check.reset();
}

void UpdatePage::ResetUpdateTab()
{
    m_check->ResetUpdateTab();
}

void UpdatePage::UpdateMELU()
{
    if (m_host && m_host->tabCount() == 4) {
        m_host->removeTab(3);
        m_host->removeTab(1);
    }
    m_update->setText(Translate(QStringLiteral("Update")));
    if (m_host)
        m_host->showWindow();
}

void UpdatePage::translateCaptions()
{
    TranslateCaption(m_update);
    TranslateCaption(m_search);
}

void UpdatePage::setStatusText(const QString &text)
{
    m_status = text;
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    m_text->setPlainText(shown);
}

void UpdatePage::setStatusCaret(int position)
{
    QTextCursor cursor = m_text->textCursor();
    const int last = m_text->document()->characterCount() - 1;
    cursor.setPosition(qBound(0, position, qMax(0, last)));
    m_text->setTextCursor(cursor);
    m_text->ensureCursorVisible();
}

void UpdatePage::setUpdateEnabled(bool enabled)
{
    m_update->setEnabled(enabled);
}

bool UpdatePage::updateEnabled() const
{
    return m_update->isEnabled();
}

} // namespace orvia
