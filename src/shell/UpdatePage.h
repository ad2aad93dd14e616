#pragma once
// The setup window's update page (its "Internet update" tab): the status text, "Check for updates
// now" and "Update Orvia Link". The setup window embeds the page and calls ResetUpdateTab when the page
// is to start afresh, translateCaptions at its load, and UpdateMELU for the update-only form.
#include "engine/UpdateView.h"
#include "platform/Platform.h"

#include <QWidget>
#include <memory>

class QPlainTextEdit;
class QPushButton;

namespace orvia {

class IInternetTransfer;
class IShellHooks;
class UpdateCheck;

// What the update-only form needs of the window hosting the page.
class IUpdateHost
{
public:
    virtual ~IUpdateHost() = default;
    virtual int tabCount() const = 0;
    virtual void removeTab(int index) = 0; // 1-based, as the tab strip counts
    virtual void showWindow() = 0;
};

class UpdatePage : public QWidget, public IUpdateView
{
    Q_OBJECT
public:
    // `inet` may be null: the page then makes its own internet transfer.
    UpdatePage(const Platform &platform, IShellHooks *shell, QWidget *parent = nullptr,
               IInternetTransfer *inet = nullptr);
    ~UpdatePage() override;

    void setHost(IUpdateHost *host) { m_host = host; }

    // Empties the status text and disables "Update Orvia Link".
    void ResetUpdateTab();
    // The sibling product's update-only form: without the Outlook and connection tabs.
    void UpdateMELU();
    // Translates the two buttons' captions (the setup window's load does this for its controls).
    void translateCaptions();

    QPlainTextEdit *TextUpdate() const { return m_text; }
    QPushButton *CmdSearchUpd() const { return m_search; }
    QPushButton *CmdUpdate() const { return m_update; }
    UpdateCheck &check() { return *m_check; }

    // IUpdateView
    QString statusText() const override { return m_status; }
    void setStatusText(const QString &text) override;
    void setStatusCaret(int position) override;
    void setUpdateEnabled(bool enabled) override;
    bool updateEnabled() const override;

private:
    QPlainTextEdit *m_text = nullptr;
    QPushButton *m_search = nullptr;
    QPushButton *m_update = nullptr;
    QString m_status;
    IUpdateHost *m_host = nullptr;
    std::unique_ptr<IInternetTransfer> m_ownInet;
    std::unique_ptr<UpdateCheck> m_check;
};

} // namespace orvia
