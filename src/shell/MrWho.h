#pragma once
// The setup window: four pages (connection, language, desktop folders, internet update) and "Ok".
// Loaded once at start-up and only hidden afterwards. The connection page's detection lives in
// PhoneDetection, the language and folder choices in SetupPages; this class is their widgets.
#include "endpoints/SerialHandler.h"
#include "engine/SetupConnectionPage.h"
#include "platform/Platform.h"
#include "shell/SetupHooks.h"
#include "shell/SetupWindowFactory.h"
#include "shell/UpdatePage.h"
#include <QDialog>
#include <QString>
#include <array>
#include <memory>

class QComboBox;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace orvia {

class FormMain;
class OutlookControl;
class PhoneDetection;

class MrWho : public QDialog, public ISetupWindow, public IConnectionPage, public IUpdateHost
{
    Q_OBJECT
public:
    // `updatePage`: the internet update page to embed; null makes the program's own.
    explicit MrWho(const SetupWindowContext &context, QWidget *parent = nullptr,
                   UpdatePage *updatePage = nullptr);
    ~MrWho() override;

    // ISetupWindow
    void Init(FormMain *owner, OutlookControl *olc) override;
    bool isWindowShown() const override { return isVisible(); }
    bool isWindowMinimised() const override { return isMinimized(); }
    void SelectTab(int index) override;
    void showWindow() override;
    void startAutoDetection() override;
    bool phoneCanBeSought() const override;
    bool seekPhoneForRun(std::function<void()> found) override;

    void DetectPorts();
    void Connect(ComPort port);
    void FiniteStateMachine();
    void Receive(const PhoneReply &reply);
    void UpdateMELU();

    // IUpdateHost
    int tabCount() const override;
    void removeTab(int index) override;

    // IConnectionPage
    void showPortButton(int k, ComPort port) override;
    std::optional<ComPort> portButtonPort(int k) const override;
    void setPortButtonEnabled(int k, bool on) override;
    bool portButtonChecked(int k) const override;
    void setPortButtonChecked(int k, bool on) override;
    void setConnectEnabled(bool on) override;
    bool connectEnabled() const override;
    QString statusText() const override { return m_status; }
    void setStatusText(const QString &text) override;
    bool windowVisible() const override { return isVisible(); }

    // Public state.
    FormMain *FOwner = nullptr;
    OutlookControl *ol = nullptr;
    qint16 activetab = 0;

    PhoneDetection &detection() { return *m_detection; }
    // The pages' controls, for the shell's tests.
    QComboBox *languageList() const { return Combo1; }
    QComboBox *contactsList() const { return Combo_contacts; }
    QComboBox *calendarList() const { return Combo_calendar; }
    QRadioButton *portButton(int k) const { return Option1.at(size_t(k)); }
    QPushButton *connectButton() const { return Command1; }
    QTabWidget *tabs() const { return TabStrip1; }
    UpdatePage *updatePage() const { return m_updatePage; }
    bool loaded() const { return m_loaded; }

    // The handlers of the window's lists and buttons (also what a click runs).
    void languageChosen(int entry);
    void contactsFolderChosen();
    void calendarFolderChosen();
    void clickOk();

protected:
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void reject() override;

private:
    void buildControls();
    void load();
    void fillFolderPage();
    void tabHandling(bool fromTabChange);
    void folderError(const QString &where, const std::exception &e);
    int pageNumber(int tabIndex) const; // 1..4 for the tab at that index, 0 for none

    SetupWindowContext m_context;
    Platform m_platform;
    std::shared_ptr<PhoneDetection> m_detection;
    QString m_status;
    bool m_loaded = false;
    bool m_sized = false;
    bool m_placed = false; // centred once; keeps its place afterwards
    bool m_filling = false;

    QTabWidget *TabStrip1 = nullptr;
    std::array<QWidget *, 5> m_pages{}; // 1..4: the page frames, whichever tabs remain
    std::array<QRadioButton *, 9> Option1{};
    std::array<std::optional<ComPort>, 9> m_ports; // what each port button stands for
    QPushButton *Command1 = nullptr;
    QPushButton *Command2 = nullptr;
    QGroupBox *TFrame = nullptr;
    QGroupBox *Frame3 = nullptr;
    QGroupBox *OutlookFrame = nullptr;
    QPlainTextEdit *Text = nullptr;
    QLabel *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr, *Label4 = nullptr;
    QComboBox *Combo1 = nullptr, *Combo_contacts = nullptr, *Combo_calendar = nullptr;
    UpdatePage *m_updatePage = nullptr;
};

} // namespace orvia
