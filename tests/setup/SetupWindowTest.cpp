// The setup window itself: its load (captions, language and folder pages, port buttons), its tabs and
// the update page's reset, closing and "Ok", and a detection started with its own "Connect" button.
#include "DetectionRig.h"
#include "common/Globals.h"
#include "endpoints/OutlookControl.h"
#include "phonesim/SimCommControl.h"
#include "shell/FormMainWindow.h"
#include "shell/MrWho.h"
#include "shell/UpdatePage.h"
#include "support/TempDir.h"
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

using namespace orvia;
using namespace orvia::test;

namespace {

struct SetupWindow : DetectionRig
{
    TempDir dir;
    std::unique_ptr<phonesim::SimCommControl> comm;
    std::unique_ptr<OutlookControl> ol;
    std::unique_ptr<MrWho> window;

    void SetUp() override
    {
        DetectionRig::SetUp();
        listPorts({1, 3});
        comm = std::make_unique<phonesim::SimCommControl>(QStringLiteral("M230"), QString(), &time);
        comm->setPort(1, phonesim::SimCommControl::PortKind::Silent);
        build(comm.get());
        ol = std::make_unique<OutlookControl>(dir.path() + QStringLiteral("/pim"), &time);
        ASSERT_TRUE(ol->Init());
        SetupWindowContext c;
        c.platform = platform();
        c.comm = comm.get();
        c.tray = &tray;
        c.shell = &shell;
        c.splash = &shell;
        window = std::make_unique<MrWho>(c);
    }
    void TearDown() override
    {
        window.reset();
        DetectionRig::TearDown();
    }
    void settle()
    {
        for (int guard = 0; guard < 10000 && comm->hasPending(); ++guard)
            comm->deliverDue();
    }
};

TEST_F(SetupWindow, LoadFillsThePagesAndStoresTheirChoices)
{
    window->Init(fm.get(), ol.get());
    EXPECT_TRUE(window->loaded());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Velmora Orvia Link - Setup"));
    EXPECT_EQ(window->languageList()->currentText(), QStringLiteral("English"));
    EXPECT_EQ(settings.get(QStringLiteral("language")), QStringLiteral("en"));
    EXPECT_EQ(window->contactsList()->count(), 1);
    EXPECT_EQ(window->calendarList()->currentText(), QStringLiteral("\\Personal Folders\\Calendar"));
    EXPECT_EQ(settings.get(QStringLiteral("outlook_contacts")), ol->getContactsFolderID());
    EXPECT_EQ(settings.get(QStringLiteral("outlook_calendar")), ol->getCalendarFolderID());
    EXPECT_EQ(window->tabs()->tabText(2), QStringLiteral("Outlook\u00ae"));
    EXPECT_FALSE(window->portButton(1)->isHidden());
    EXPECT_EQ(window->portButton(2)->text(), QStringLiteral("Com 3"));
    EXPECT_TRUE(window->portButton(3)->isHidden());
    EXPECT_EQ(window->tabs()->widget(3), window->updatePage());
    EXPECT_TRUE(shell.autoconn) << "first run";
    EXPECT_EQ(boxes.count(), 0);
}

TEST_F(SetupWindow, FolderPageFailureIsReportedAndTheWindowStillWorks)
{
    ol->FoldersIDs->Clear();
    ol->FoldersNames->Clear();
    ol->FoldersTypes->Clear();
    window->Init(fm.get(), ol.get());
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.last().text, QStringLiteral("An error has occurred while accessing Outlook folders."));
    EXPECT_EQ(window->detection().portList(), comPorts({1, 3}));
    EXPECT_EQ(window->detection().availPorts(), comPorts({1, 3}));
}

TEST_F(SetupWindow, StoreWithoutACalendarFolderGetsTheFolderMessageAndTheLogSaysWhy)
{
    TempDir bare;
    QDir().mkpath(bare.path() + QStringLiteral("/Mail/Inbox"));
    QDir().mkpath(bare.path() + QStringLiteral("/Mail/Contacts"));
    ol = std::make_unique<OutlookControl>(bare.path(), &time);
    ASSERT_TRUE(ol->Init());
    window->Init(fm.get(), ol.get());
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.last().text, QStringLiteral("An error has occurred while accessing Outlook folders."));
    EXPECT_TRUE(globals()
                    .gLog.recentLines()
                    .join(QLatin1Char('\n'))
                    .contains(QStringLiteral("outlook folders setup 76 there is no calendar folder")));
}

TEST_F(SetupWindow, ConnectButtonFindsThePhone)
{
    window->Init(fm.get(), ol.get());
    window->showWindow();
    window->portButton(2)->setChecked(true);
    window->connectButton()->click();
    EXPECT_FALSE(window->connectButton()->isEnabled());
    settle();
    ASSERT_NE(driver(), nullptr);
    EXPECT_TRUE(window->connectButton()->isEnabled());
    EXPECT_EQ(window->statusText(),
              QStringLiteral("Connecting phone on com 3\r\nDetected M230 family on COM 3"));
    EXPECT_EQ(settings.get(QStringLiteral("port")), QStringLiteral("Com 3"));
}

TEST_F(SetupWindow, ChoosingTheUpdatePageResetsIt)
{
    window->Init(fm.get(), ol.get());
    UpdatePage *page = window->updatePage();
    page->setStatusText(QStringLiteral("An update is available"));
    page->setUpdateEnabled(true);
    window->SelectTab(4);
    EXPECT_EQ(window->activetab, 4);
    EXPECT_EQ(page->statusText(), QString());
    EXPECT_FALSE(page->updateEnabled());
    page->setStatusText(QStringLiteral("again"));
    window->SelectTab(4); // the tray's "Check for update" while the page is already chosen
    EXPECT_EQ(page->statusText(), QString());
    window->SelectTab(1);
    EXPECT_EQ(window->activetab, 1);
    window->SelectTab(9); // no such page
    EXPECT_EQ(window->activetab, 1);
}

TEST_F(SetupWindow, UpdateOnlyFormKeepsThePagesItNeeds)
{
    window->Init(fm.get(), ol.get());
    window->UpdateMELU();
    ASSERT_EQ(window->tabs()->count(), 2);
    window->SelectTab(4);
    EXPECT_EQ(window->activetab, 4);
    EXPECT_EQ(window->tabs()->currentWidget(), window->updatePage());
    window->SelectTab(3); // removed: nothing happens
    EXPECT_EQ(window->activetab, 4);
}

TEST_F(SetupWindow, ClosingOnlyHidesAndOkBringsTheMainWindowForward)
{
    window->Init(fm.get(), ol.get());
    window->showWindow();
    EXPECT_TRUE(window->isWindowShown());
    window->close();
    EXPECT_FALSE(window->isVisible());
    window->showWindow();
    window->clickOk();
    EXPECT_FALSE(window->isVisible());
}

TEST_F(SetupWindow, ActivationHidesTheSplashAndEmptiesTheStatus)
{
    window->Init(fm.get(), ol.get());
    window->setStatusText(QStringLiteral("old lines"));
    shell.splashVisible = true;
    window->showWindow();
    QApplication::setActiveWindow(window.get());
    QCoreApplication::processEvents();
    if (!window->isActiveWindow())
        GTEST_SKIP() << "this platform does not activate windows";
    EXPECT_EQ(shell.splashHidden, 1);
    EXPECT_EQ(window->statusText(), QString());
}

TEST_F(SetupWindow, FirstRunAutomaticConnectionProbesEveryPort)
{
    window->Init(fm.get(), ol.get());
    window->startAutoDetection();
    EXPECT_TRUE(window->portButton(0)->isChecked());
    EXPECT_TRUE(window->isWindowShown());
    time.advance(PhoneDetection::kReplyTimeoutMs); // port 1 stays silent
    settle();
    ASSERT_NE(driver(), nullptr);
    EXPECT_TRUE(window->statusText().endsWith(QStringLiteral("Detected M230 family on COM 3")));
}

TEST_F(SetupWindow, UserFolderChoiceIsStored)
{
    dir.write(QStringLiteral("pim/Work/Team/.orvia-folder"), "DefaultItemType=2\n");
    ol = std::make_unique<OutlookControl>(dir.path() + QStringLiteral("/pim"), &time);
    ASSERT_TRUE(ol->Init());
    window->Init(fm.get(), ol.get());
    QComboBox *list = window->contactsList();
    ASSERT_EQ(list->count(), 2);
    const int team = list->findText(QStringLiteral("\\Work\\Team"));
    list->setCurrentIndex(team);
    window->contactsFolderChosen();
    QString teamId;
    for (qint16 i = 0; i < ol->FoldersNames->count(); ++i)
        if (ol->FoldersNames->GetItem(i) == QStringLiteral("\\Work\\Team"))
            teamId = ol->FoldersIDs->GetItem(i);
    EXPECT_EQ(ol->getContactsFolderID(), teamId);
    EXPECT_EQ(settings.get(QStringLiteral("outlook_contacts")), teamId);
}

} // namespace
