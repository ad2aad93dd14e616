#include "shell/MrWho.h"
#include "common/Globals.h"
#include "common/Translation.h"
#include "endpoints/OutlookControl.h"
#include "endpoints/PhoneDriver.h"
#include "engine/FormMain.h"
#include "engine/PhoneDetection.h"
#include "engine/ShellHooks.h"
#include "engine/SplashWindow.h"
#include "platform/RuntimeError.h"
#include "platform/VisibleText.h"
#include "shell/FormMainWindow.h"
#include "shell/FrmSysTray.h"
#include "shell/ScreenPlacement.h"
#include "shell/SetupPages.h"
#include "shell/TranslateCaption.h"
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace orvia {

namespace {
constexpr int kUpdateTab = 4;
}

MrWho::MrWho(const SetupWindowContext &context, QWidget *parent, UpdatePage *updatePage)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      m_context(context), m_platform(context.platform), m_updatePage(updatePage)
{
    setObjectName(QStringLiteral("MrWho"));
    setWindowTitle(QStringLiteral("Velmora Orvia Link - Setup"));
    if (!m_updatePage)
        m_updatePage = new UpdatePage(m_platform, context.shell);
    buildControls();
    m_updatePage->setHost(this);
    PhoneDetection::Deps d;
    d.platform = m_platform;
    d.tray = context.tray;
    d.shell = context.shell;
    d.splash = context.splash;
    d.page = this;
    m_detection = std::make_shared<PhoneDetection>(d);
}

MrWho::~MrWho()
{
    // The main window may still hold the detection, or a driver that would call the detection back.
    if (FOwner) {
        if (FOwner->handler() == m_detection)
            FOwner->dropHandler();
        else if (const std::shared_ptr<IPhoneDriver> driver = FOwner->phoneDriver())
            driver->setShell(nullptr, m_context.tray);
        FOwner->setOnPhoneErrorRecovered({});
    }
}

void MrWho::buildControls()
{
    auto *outer = new QVBoxLayout(this);
    outer->setSizeConstraint(QLayout::SetFixedSize);
    TabStrip1 = new QTabWidget(this);
    // Every tab caption stays readable in every language: the window widens instead of scrolling tabs.
    TabStrip1->setUsesScrollButtons(false);
    outer->addWidget(TabStrip1);

    // Connection page.
    auto *conn = new QWidget;
    auto *connLayout = new QVBoxLayout(conn);
    TFrame = new QGroupBox(QStringLiteral("Serial Ports"));
    auto *ports = new QGridLayout(TFrame);
    Option1[0] = new QRadioButton(QStringLiteral("Auto detect"));
    Option1[0]->setChecked(true);
    ports->addWidget(Option1[0], 0, 0, 1, 2);
    for (int k = 1; k <= kPortButtons; ++k) {
        Option1[size_t(k)] = new QRadioButton(QStringLiteral("com"));
        Option1[size_t(k)]->setVisible(false);
        ports->addWidget(Option1[size_t(k)], 1 + (k - 1) / 2, (k - 1) % 2);
    }
    Command1 = new QPushButton(QStringLiteral("Connect"));
    ports->addWidget(Command1, 5, 0, 1, 2);
    connLayout->addWidget(TFrame);
    Frame3 = new QGroupBox(QStringLiteral("Status log"));
    auto *statusLayout = new QVBoxLayout(Frame3);
    Text = new QPlainTextEdit;
    Text->setReadOnly(true);
    Text->setMinimumSize(320, 90);
    statusLayout->addWidget(Text);
    connLayout->addWidget(Frame3);
    TabStrip1->addTab(conn, QStringLiteral("Connection"));

    // Language page.
    auto *lang = new QWidget;
    auto *langLayout = new QVBoxLayout(lang);
    Label4 = new QLabel(QStringLiteral("Language:"));
    Combo1 = new QComboBox;
    Combo1->addItems(setup::languageEntries());
    Combo1->setCurrentIndex(-1);
    Label2 = new QLabel(QStringLiteral("Please restart after changing language."));
    langLayout->addWidget(Label4);
    langLayout->addWidget(Combo1);
    langLayout->addWidget(Label2);
    langLayout->addStretch();
    TabStrip1->addTab(lang, QStringLiteral("Language"));

    // Desktop folders page.
    auto *outl = new QWidget;
    auto *outlLayout = new QVBoxLayout(outl);
    OutlookFrame = new QGroupBox(QStringLiteral("Outlook Folders"));
    auto *folders = new QVBoxLayout(OutlookFrame);
    Label1 = new QLabel(QStringLiteral("Contacts folder:"));
    Combo_contacts = new QComboBox;
    Label3 = new QLabel(QStringLiteral("Calendar folder:"));
    Combo_calendar = new QComboBox;
    folders->addWidget(Label1);
    folders->addWidget(Combo_contacts);
    folders->addWidget(Label3);
    folders->addWidget(Combo_calendar);
    outlLayout->addWidget(OutlookFrame);
    outlLayout->addStretch();
    TabStrip1->addTab(outl, QStringLiteral("Outlook\u00ae"));

    // Internet update page.
    TabStrip1->addTab(m_updatePage, QStringLiteral("Internet update"));
    m_pages = {nullptr, conn, lang, outl, m_updatePage};

    Command2 = new QPushButton(QStringLiteral("Ok"));
    auto *bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(Command2);
    outer->addLayout(bottom);

    connect(Command1, &QPushButton::clicked, this, [this] { m_detection->clickConnect(); });
    connect(Command2, &QPushButton::clicked, this, [this] { clickOk(); });
    connect(Combo1, &QComboBox::activated, this, [this](int i) { languageChosen(i); });
    connect(Combo_contacts, &QComboBox::activated, this, [this](int) { contactsFolderChosen(); });
    connect(Combo_calendar, &QComboBox::activated, this, [this](int) { calendarFolderChosen(); });
    connect(TabStrip1, &QTabWidget::currentChanged, this, [this](int) { tabHandling(true); });
}

// ---- load -----------------------------------------------------------------------------------------

void MrWho::load()
{
    if (m_loaded)
        return;
    m_loaded = true;
    for (QObject *c :
         {static_cast<QObject *>(Command1), static_cast<QObject *>(Option1[0]),
          static_cast<QObject *>(OutlookFrame), static_cast<QObject *>(Label1),
          static_cast<QObject *>(Label3), static_cast<QObject *>(Label4), static_cast<QObject *>(Label2)})
        TranslateCaption(c);
    m_updatePage->translateCaptions();
    setWindowTitle(kAppTitle + QStringLiteral(" - ") + Translate(QStringLiteral("Setup")));
    TranslateCaption(Frame3);

    const int entry = setup::languageEntryFor(globals().gLanguage);
    if (entry > 0) {
        Combo1->setCurrentIndex(entry);
        languageChosen(entry);
    }
    for (int page : {1, 2, 4})
        TranslateTabCaption(TabStrip1->tabBar(), TabStrip1->indexOf(m_pages[size_t(page)]));

    globals().gLog.log(QStringLiteral("MrWho load"));
    m_detection->enumeratePorts();
    if (FOwner && ol)
        fillFolderPage();
}

void MrWho::fillFolderPage()
{
    m_filling = true;
    try {
        Combo_contacts->clear();
        Combo_calendar->clear();
        Combo_calendar->addItems(setup::folderNames(*ol, setup::FolderKind::Calendar));
        Combo_contacts->addItems(setup::folderNames(*ol, setup::FolderKind::Contacts));
        const QString savedContacts = m_platform.settings->get(
            kSettingsApp, kSettingsSection, setup::folderSettingKey(setup::FolderKind::Contacts),
            QStringLiteral("default"));
        QStringList entries;
        for (int i = 0; i < Combo_contacts->count(); ++i)
            entries << Combo_contacts->itemText(i);
        Combo_contacts->setCurrentIndex(
            setup::preselectedEntry(*ol, setup::FolderKind::Contacts, savedContacts, entries));
        setup::chooseFolder(*ol, setup::FolderKind::Contacts, Combo_contacts->currentText(),
                            *m_platform.settings);

        const QString savedCalendar = m_platform.settings->get(
            kSettingsApp, kSettingsSection, setup::folderSettingKey(setup::FolderKind::Calendar),
            QStringLiteral("default"));
        entries.clear();
        for (int i = 0; i < Combo_calendar->count(); ++i)
            entries << Combo_calendar->itemText(i);
        Combo_calendar->setCurrentIndex(
            setup::preselectedEntry(*ol, setup::FolderKind::Calendar, savedCalendar, entries));
        setup::chooseFolder(*ol, setup::FolderKind::Calendar, Combo_calendar->currentText(),
                            *m_platform.settings);
    } catch (const std::exception &e) {
        folderError(QStringLiteral("Error in mrwho.load, outlook folders setup "), e);
    }
    m_filling = false;
}

void MrWho::folderError(const QString &where, const std::exception &e)
{
    int number = 0;
    QString description = QString::fromUtf8(e.what());
    if (const auto *re = dynamic_cast<const RuntimeError *>(&e)) {
        number = re->number();
        description = re->description();
    }
    globals().gLog.log(where + QString::number(number) + QLatin1Char(' ') + visibleText(description));
    m_platform.messageBox->show(QStringLiteral("An error has occurred while accessing Outlook folders."));
}

// ---- public operations ----------------------------------------------------------------------------

void MrWho::Init(FormMain *owner, OutlookControl *olc)
{
    FOwner = owner;
    ol = olc;
    if (FOwner)
        FOwner->setOnPhoneErrorRecovered([this] { m_detection->phoneErrorRecovered(); });
    load();
    if (FOwner)
        m_detection->Init(*FOwner);
}

void MrWho::DetectPorts()
{
    m_detection->DetectPorts();
}

void MrWho::Connect(ComPort port)
{
    m_detection->Connect(port);
}

void MrWho::FiniteStateMachine()
{
    m_detection->FiniteStateMachine();
}

void MrWho::Receive(const PhoneReply &reply)
{
    m_detection->Receive(reply);
}

void MrWho::UpdateMELU()
{
    m_updatePage->UpdateMELU();
}

int MrWho::tabCount() const
{
    return TabStrip1->count();
}

void MrWho::removeTab(int index)
{
    if (index >= 1 && index <= TabStrip1->count())
        TabStrip1->removeTab(index - 1);
}

int MrWho::pageNumber(int tabIndex) const
{
    QWidget *w = TabStrip1->widget(tabIndex);
    for (int i = 1; i <= 4; ++i)
        if (w && m_pages[size_t(i)] == w)
            return i;
    return 0;
}

void MrWho::SelectTab(int index)
{
    if (index < 1 || index > 4)
        return;
    const int tab = TabStrip1->indexOf(m_pages[size_t(index)]);
    if (tab < 0)
        return; // that page was removed
    const bool changed = TabStrip1->currentIndex() != tab;
    TabStrip1->setCurrentIndex(tab);
    if (!changed)
        tabHandling(true); // selecting the selected tab still runs the tab's handling
}

void MrWho::showWindow()
{
    // The status shows what happened since the window came up; a message box of the detection taking
    // the focus for a while must not wipe the ports it lists.
    if (!isVisible())
        setStatusText(QString());
    setWindowState(windowState() & ~Qt::WindowMinimized);
    // Centred at its first showing; from then on the window keeps the place it was given or moved to
    // (a window never placed by the program is put anywhere by the window manager at every showing).
    if (!m_placed) {
        m_placed = true;
        centreOnScreen(*this);
    }
    show();
    raise();
    activateWindow();
}

bool MrWho::phoneCanBeSought() const
{
    return m_detection->canSeekForRun();
}

bool MrWho::seekPhoneForRun(std::function<void()> found)
{
    return m_detection->seekForRun(std::move(found));
}

void MrWho::startAutoDetection()
{
    m_detection->forgetWaitingRun();
    setPortButtonChecked(0, true);
    showWindow();
    // Let the window come up (its activation empties the status) before the detection writes to it.
    m_platform.loop->yieldOnce();
    m_detection->DetectPorts();
    m_detection->Connect(ComPort::allPorts());
}

// ---- pages ----------------------------------------------------------------------------------------

void MrWho::tabHandling(bool fromTabChange)
{
    activetab = qint16(pageNumber(TabStrip1->currentIndex()));
    // The update page starts afresh each time it is chosen; an activation of the window alone (for
    // example after one of the page's own message boxes) keeps what it shows.
    if (fromTabChange && activetab == kUpdateTab)
        m_updatePage->ResetUpdateTab();
}

void MrWho::languageChosen(int entry)
{
    if (entry < 0)
        return;
    setup::chooseLanguage(entry, *m_platform.settings, *m_platform.system);
}

void MrWho::contactsFolderChosen()
{
    if (m_filling || !ol)
        return;
    try {
        setup::chooseFolder(*ol, setup::FolderKind::Contacts, Combo_contacts->currentText(),
                            *m_platform.settings);
    } catch (const std::exception &e) {
        folderError(QStringLiteral("Error in mrwho, contacts folder "), e);
    }
}

void MrWho::calendarFolderChosen()
{
    if (m_filling || !ol)
        return;
    try {
        setup::chooseFolder(*ol, setup::FolderKind::Calendar, Combo_calendar->currentText(),
                            *m_platform.settings);
    } catch (const std::exception &e) {
        folderError(QStringLiteral("Error in mrwho, calendar folder "), e);
    }
}

void MrWho::clickOk()
{
    hide();
    // Bring a visible main window forward.
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (qobject_cast<FormMainWindow *>(w) && w->isVisible()) {
            w->raise();
            w->activateWindow();
        }
    }
}

void MrWho::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() != QEvent::ActivationChange || !isActiveWindow())
        return;
    if (m_context.splash && m_context.splash->isSplashVisible())
        m_context.splash->hideSplash();
    if (TabStrip1->isVisible())
        tabHandling(false);
}

void MrWho::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_sized)
        return;
    m_sized = true;
    // A page can ask for more room once it has been on screen (its first showing polishes it), so
    // the window would grow at its first tab change: each page is put up once, unseen, and the
    // window keeps the room of the widest from the start. No tab handling runs for this.
    const QSignalBlocker quiet(TabStrip1);
    const int current = TabStrip1->currentIndex();
    QSize room = TabStrip1->sizeHint();
    for (int i = 0; i < TabStrip1->count(); ++i) {
        TabStrip1->setCurrentIndex(i);
        room = room.expandedTo(TabStrip1->sizeHint());
    }
    TabStrip1->setCurrentIndex(current);
    TabStrip1->setMinimumSize(room);
}

void MrWho::closeEvent(QCloseEvent *event)
{
    // The tray window's close policy: the close box only hides the window, which stays loaded.
    int cancel = 1;
    if (m_context.trayWindow)
        cancel = m_context.trayWindow->MeQueryUnload(this, 0, 0);
    else
        hide();
    if (cancel)
        event->ignore();
    else
        event->accept();
}

void MrWho::reject()
{
    hide(); // Escape hides, as the close box does
}

// ---- connection page controls ---------------------------------------------------------------------

void MrWho::showPortButton(int k, ComPort port)
{
    if (k < 1 || k > kPortButtons)
        return;
    Option1[size_t(k)]->setText(port.caption());
    Option1[size_t(k)]->setVisible(true);
    m_ports[size_t(k)] = port;
}

std::optional<ComPort> MrWho::portButtonPort(int k) const
{
    return (k >= 1 && k <= kPortButtons) ? m_ports[size_t(k)] : std::nullopt;
}

void MrWho::setPortButtonEnabled(int k, bool on)
{
    if (k >= 0 && k <= kPortButtons)
        Option1[size_t(k)]->setEnabled(on);
}

bool MrWho::portButtonChecked(int k) const
{
    return k >= 0 && k <= kPortButtons && Option1[size_t(k)]->isChecked();
}

void MrWho::setPortButtonChecked(int k, bool on)
{
    if (k >= 0 && k <= kPortButtons)
        Option1[size_t(k)]->setChecked(on);
}

void MrWho::setConnectEnabled(bool on)
{
    Command1->setEnabled(on);
}

bool MrWho::connectEnabled() const
{
    return Command1->isEnabled();
}

void MrWho::setStatusText(const QString &text)
{
    m_status = text;
    Text->setPlainText(text);
}

} // namespace orvia
