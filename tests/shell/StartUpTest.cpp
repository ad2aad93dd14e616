// The program's start-up with all its windows: what is on screen after a good start and after each
// of the three start-up failures; and the small windows (first-run, details, about).
#include "ShellRig.h"
#include "shell/FormAbout.h"
#include "shell/FormAutoConn.h"
#include "shell/FormErrorLog.h"
#include "shell/FormMainWindow.h"
#include "shell/FrmSysTray.h"
#include "shell/HeadlessNotices.h"
#include "shell/frmSplash.h"
#include "support/LanguageFixture.h"
#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace orvia;
using namespace orvia::test;

TEST(StartUp, AGoodStartLeavesTheSplashAndTheIconAndCallsTheSetupWindow)
{
    ShellRig rig(QStringLiteral("French"));
    ASSERT_EQ(rig.start(), StartResult::Running);
    KivoProgram &p = *rig.program;
    EXPECT_FALSE(p.mainWindow().isVisible());
    EXPECT_TRUE(p.splash().isVisible());
    EXPECT_EQ(p.splash().statusText(), QStringLiteral("Connexion au t\u00E9l\u00E9phone..."));
    EXPECT_EQ(p.splash().versionText(), QStringLiteral("Version 1.0"));
    EXPECT_FALSE(p.tray().isVisible());
    EXPECT_TRUE(p.tray().iconRegistered());
    EXPECT_EQ(p.tray().currentIconName(), QStringLiteral(":/icons/stop.png"));
    EXPECT_EQ(rig.calls, QStringList{QStringLiteral("setup:Init")});
    EXPECT_EQ(rig.boxes.count(), 0);
    // Captions are in the user's language.
    EXPECT_EQ(p.mainWindow().button(ViewButton::Done)->text(), QStringLiteral("Terminer"));
    EXPECT_EQ(p.tray().button(QStringLiteral("CmdClose"))->text(), QStringLiteral("Fermer"));
    EXPECT_EQ(p.tray().action(QStringLiteral("mAbout2"))->text(), QStringLiteral("About"))
        << "the popup's About entry keeps its stored caption";

    // The first run (set by the setup window) hands over to the first-run window at the 3 s mark.
    p.splash().setAutoconn(true);
    rig.time.advance(3000);
    EXPECT_FALSE(p.splash().isVisible());
    EXPECT_TRUE(p.tray().isVisible());
    EXPECT_EQ(rig.calls.last(), QStringLiteral("firstRun"));
}

TEST(StartUp, EachFailureEndsWithItsMessageAndNoWindowLeft)
{
    struct Case
    {
        const char *name;
        std::function<void(ShellRig &)> arrange;
        StartResult result;
        QString message;
    };
    const Case cases[] = {
        {"second copy", [](ShellRig &r) { r.system.addProcess(QStringLiteral("kivo")); },
         StartResult::AlreadyRunning, QStringLiteral("This program is already running.")},
        {"no language file",
         [](ShellRig &r) { r.options.languageFile = r.dir.path() + QStringLiteral("/lang.dbl"); },
         StartResult::NoLanguageFile,
         QStringLiteral("Could not find file the language file.\r\nThe program will quit.")},
        {"damaged language file",
         [](ShellRig &r) {
             r.options.languageFile = r.dir.path() + QStringLiteral("/lang.dbl");
             QFile f(r.options.languageFile);
             ASSERT_TRUE(f.open(QIODevice::WriteOnly));
             f.write(QByteArray(4096, '\xff'));
         },
         StartResult::NoLanguageFile,
         QStringLiteral("Could not find file the language file.\r\nThe program will quit.")},
        {"unusable store",
         [](ShellRig &r) {
             QFile f(r.dir.path() + QStringLiteral("/plain"));
             ASSERT_TRUE(f.open(QIODevice::WriteOnly));
             r.options.storeRoot = r.dir.path() + QStringLiteral("/plain/pim");
         },
         StartResult::NoDesktopStore,
         QStringLiteral("Microsoft Outlook\u2122 not detected.\r\nThe program will quit.")},
    };
    for (const Case &c : cases) {
        ShellRig rig;
        c.arrange(rig);
        EXPECT_EQ(rig.start(), c.result) << c.name;
        ASSERT_EQ(rig.boxes.count(), 1) << c.name;
        EXPECT_EQ(rig.boxes.last().text, c.message) << c.name;
        EXPECT_EQ(rig.boxes.last().style & ~mb::Foreground, mb::OkOnly) << c.name;
        EXPECT_FALSE(rig.program->splash().isVisible()) << c.name;
        EXPECT_FALSE(rig.program->mainWindow().isVisible()) << c.name;
        EXPECT_FALSE(rig.program->tray().iconRegistered()) << c.name;
        EXPECT_TRUE(rig.calls.isEmpty()) << c.name << ": " << rig.calls.join(QLatin1Char(',')).toStdString();
        rig.time.advance(5000);
        EXPECT_TRUE(rig.calls.isEmpty()) << c.name << ": nothing follows a failed start";
    }
}

TEST(StartUp, DetailsWindowShowsTheLatestRunsNoticesEachTimeItIsShown)
{
    ShellRig rig;
    ASSERT_EQ(rig.start(), StartResult::Running);
    FormErrorLog &d = rig.program->details();
    d.show();
    EXPECT_TRUE(d.shownText().isEmpty());
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Velmora Orvia Link - Details"));
    d.hide();
    globals().gDetails =
        QStringLiteral("Details for Outlook\u00AE: one\r\nDetails for Outlook\u00AE: two\r\n");
    d.show();
    EXPECT_EQ(d.shownText(),
              QStringLiteral("Details for Outlook\u00AE: one\nDetails for Outlook\u00AE: two\n"));
    d.findChild<QPushButton *>(QStringLiteral("Command1"))->click();
    EXPECT_FALSE(d.isVisible());

    // The main window's Details button reaches the details window.
    rig.program->mainWindow().button(ViewButton::Details)->setEnabled(true);
    rig.program->mainWindow().button(ViewButton::Details)->click();
    EXPECT_EQ(rig.calls.last(), QStringLiteral("details"));
}

TEST(StartUp, AboutTextNamesVersionsAndTheSupportedPhones)
{
    ASSERT_TRUE(loadBuiltLanguage(QStringLiteral("sp")));
    globals().gOutlookVersion = QStringLiteral("vdir 1");
    FakeSystemServices system;
    system.setVersion(6, 1);
    FormAbout about(system, ProgramVersion{1, 0, 165});
    const QStringList lines = about.shownText().split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 14);
    EXPECT_EQ(lines[0], QStringLiteral("Velmora Orvia Link versi\u00F3n: 1.0.165"));
    EXPECT_EQ(lines[2], QStringLiteral("Microsoft\u00AE Outlook\u00AE versi\u00F3n: vdir 1"));
    EXPECT_TRUE(lines[1].endsWith(QStringLiteral(": 6.1")));
    EXPECT_EQ(lines[4], QStringLiteral("TRV-D240"));
    EXPECT_EQ(lines[13], QStringLiteral("TRV-L420"));
    EXPECT_FALSE(about.shownText().endsWith(QStringLiteral("\r\n")));
    EXPECT_EQ(about.windowTitle(), QStringLiteral("Velmora Orvia Link - Acerca de"));
}

TEST(StartUp, FirstRunWindowHandsOverToTheSetupWindow)
{
    ASSERT_TRUE(loadBuiltLanguage(QStringLiteral("en")));
    QStringList calls;
    RecordingSetupWindow setup(calls);
    FormAutoConn first(&setup);
    const QStringList lines = first.instructions().split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0], QStringLiteral("This is the first time you run Velmora\u00AE Orvia Link."));
    EXPECT_EQ(first.windowTitle(), QStringLiteral("Connection"));
    first.show();
    first.findChild<QPushButton *>(QStringLiteral("Command1"))->click();
    EXPECT_FALSE(first.isVisible());
    EXPECT_EQ(calls, QStringList{QStringLiteral("setup:auto")});
    first.show();
    first.findChild<QPushButton *>(QStringLiteral("Command2"))->click();
    EXPECT_FALSE(first.isVisible());
    EXPECT_EQ(calls.last(), QStringLiteral("setup:show"));
}

TEST(StartUp, TheToolkitsOwnButtonsFollowTheLanguageAndHeadlessNoticesAreKnown)
{
    const auto yes = [] { return QCoreApplication::translate("QPlatformTheme", "&Yes"); };
    for (const auto &[system, expected] :
         {std::pair{"English", "&Yes"}, std::pair{"German", "&Ja"}, std::pair{"French", "&Oui"},
          std::pair{"Italian", "&S\u00EC"}, std::pair{"Spanish", "&S\u00ED"}}) {
        ShellRig rig(QString::fromUtf8(system));
        ASSERT_EQ(rig.start(), StartResult::Running);
        EXPECT_EQ(yes(), QString::fromUtf8(expected)) << system;
    }
    EXPECT_EQ(yes(), QStringLiteral("&Yes")) << "the program's end takes its translation along";

    EXPECT_TRUE(isHeadlessWindowNotice(QStringLiteral("This plugin does not support raise()")));
    EXPECT_TRUE(isHeadlessWindowNotice(QStringLiteral("This plugin does not support propagateSizeHints()")));
    EXPECT_FALSE(isHeadlessWindowNotice(QStringLiteral("This plugin does not support setParent!")));
}
