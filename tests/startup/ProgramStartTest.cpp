// The start-up order and its three failures, with the windows as recording hooks.
#include "shell/ProgramStart.h"
#include "common/Globals.h"
#include "endpoints/OutlookControl.h"
#include "platform/Platform.h"
#include "support/FakeSystemServices.h"
#include "support/ManualTime.h"
#include "support/MemorySettingsStore.h"
#include "support/QtPrinters.h"
#include "support/ScriptedMessageBox.h"
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace orvia;
using namespace orvia::test;

namespace {

struct Start : ::testing::Test
{
    QTemporaryDir dir;
    ManualTime time;
    ScriptedMessageBox boxes;
    MemorySettingsStore settings;
    FakeSystemServices system;
    Platform platform;
    QStringList events;
    QString storeRoot;
    QString langFile = qEnvironmentVariable("ORVIA_BIN_DIR") + QStringLiteral("/lang.dbl");

    void SetUp() override
    {
        resetGlobals();
        platform.timers = &time;
        platform.clock = &time;
        platform.loop = &time;
        platform.messageBox = &boxes;
        platform.settings = &settings;
        platform.system = &system;
        system.addProcess(QStringLiteral("kivo"));
        system.setLanguage(QStringLiteral("German"));
        storeRoot = dir.path() + QStringLiteral("/pim");
        boxes.setOnShow(
            [this](const ScriptedMessageBox::Shown &s) { events << QStringLiteral("box:") + s.text; });
    }
    StartResult run()
    {
        OutlookControl outlook(storeRoot, &time);
        StartHooks h;
        h.hideMain = [this] { events << QStringLiteral("hide"); };
        h.soleCopy = [this] { events << QStringLiteral("log"); };
        h.showSplash = [this] { events << QStringLiteral("splash"); };
        h.splashStatus = [this](const QString &s) { events << QStringLiteral("status:") + s; };
        h.unloadSplash = [this] { events << QStringLiteral("unloadSplash"); };
        h.translateCaptions = [this] { events << QStringLiteral("captions"); };
        h.loadTray = [this] { events << QStringLiteral("tray"); };
        h.initSetup = [this] { events << QStringLiteral("setup"); };
        return ProgramStart(platform, outlook, h, langFile).run();
    }
};

} // namespace

TEST_F(Start, RunsInOrderAndTakesTheLanguageFromTheLocale)
{
    EXPECT_EQ(run(), StartResult::Running);
    EXPECT_EQ(events, (QStringList{"hide", "log", "splash", "status:Outlook\u00AE wird geladen...",
                                   "captions", "tray", "status:Verbindung zum Telefon wird hergestellt..."}
                       << "setup"))
        << events.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(globals().gLanguage, QStringLiteral("de"));
    EXPECT_TRUE(QFile::exists(storeRoot + QStringLiteral("/Personal Folders/Contacts")));
}

TEST_F(Start, LanguageSettingOverridesTheLocaleUnlessLocal)
{
    settings.save(kSettingsApp, kSettingsSection, QStringLiteral("language"), QStringLiteral("fr"));
    EXPECT_EQ(run(), StartResult::Running);
    EXPECT_EQ(globals().gLanguage, QStringLiteral("fr"));
    settings.save(kSettingsApp, kSettingsSection, QStringLiteral("language"), QStringLiteral("local"));
    events.clear();
    EXPECT_EQ(run(), StartResult::Running);
    EXPECT_EQ(globals().gLanguage, QStringLiteral("de"));
}

TEST_F(Start, SecondInstanceQuitsWithItsMessage)
{
    // In the user's language, in front of the running copy's windows; nothing else of this copy comes
    // up, and the program ends once the box is answered.
    system.addProcess(QStringLiteral("KIVO"));
    EXPECT_EQ(run(), StartResult::AlreadyRunning);
    EXPECT_EQ(events, (QStringList{"hide", "box:Dieses Programm l\u00e4uft bereits."}));
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.last().style, mb::OkOnly | mb::Foreground);

    // Without its texts the message is still given, in English.
    langFile = dir.path() + QStringLiteral("/lang.dbl");
    resetGlobals();
    events.clear();
    EXPECT_EQ(run(), StartResult::AlreadyRunning);
    EXPECT_EQ(events, (QStringList{"hide", "box:This program is already running."}));
}

TEST_F(Start, MissingOrDamagedLanguageFileEndsTheProgram)
{
    langFile = dir.path() + QStringLiteral("/lang.dbl");
    EXPECT_EQ(run(), StartResult::NoLanguageFile);
    EXPECT_EQ(events.last(), QStringLiteral("unloadSplash"));
    EXPECT_TRUE(events.contains(
        QStringLiteral("box:Could not find file the language file.\r\nThe program will quit.")));
    QFile f(langFile);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("garbage\x01\x02");
    f.close();
    events.clear();
    EXPECT_EQ(run(), StartResult::NoLanguageFile);
}

TEST_F(Start, UnusableDesktopStoreEndsTheProgramAfterClosingTheSplash)
{
    QFile blocker(dir.path() + QStringLiteral("/file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    storeRoot = dir.path() + QStringLiteral("/file/pim");
    EXPECT_EQ(run(), StartResult::NoDesktopStore);
    const qsizetype unload = events.indexOf(QStringLiteral("unloadSplash"));
    const qsizetype box =
        events.indexOf(QStringLiteral("box:Microsoft Outlook\u2122 not detected.\r\nThe program will quit."));
    EXPECT_GE(unload, 0);
    EXPECT_GT(box, unload);
    EXPECT_FALSE(events.contains(QStringLiteral("tray")));
}
