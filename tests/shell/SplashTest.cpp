// The splash window's three seconds, its hand-over to the tray and first-run windows, and its labels.
#include "common/Globals.h"
#include "shell/frmSplash.h"
#include "support/LanguageFixture.h"
#include "support/ManualTime.h"
#include <QGuiApplication>
#include <QScreen>
#include <gtest/gtest.h>

using namespace orvia;
using namespace orvia::test;

namespace {

struct Splash : ::testing::Test
{
    ManualTime time;
    QStringList shown;
    std::unique_ptr<frmSplash> splash;

    void make(const QString &exe = QStringLiteral("kivo"), const QString &args = QString())
    {
        splash = std::make_unique<frmSplash>(time, &time, ProgramVersion{1, 0, 165}, exe, args);
        frmSplash::Hooks h;
        h.showTrayWindow = [this] { shown << QStringLiteral("tray"); };
        h.showFirstRun = [this] { shown << QStringLiteral("firstRun"); };
        splash->setHooks(h);
        splash->showSplash();
    }
    void SetUp() override { resetGlobals(); }
};

} // namespace

TEST_F(Splash, AnEarlyCloseWaitsForTheThreeSecondMarkALateOneActsAtOnce)
{
    make();
    time.advance(1000);
    splash->CloseSplash();
    EXPECT_TRUE(splash->isVisible());
    EXPECT_TRUE(splash->closePending());
    time.advance(1999);
    EXPECT_TRUE(splash->isVisible());
    time.advance(1);
    EXPECT_FALSE(splash->isVisible());
    EXPECT_EQ(shown, QStringList{QStringLiteral("tray")});

    make();
    time.advance(5000);
    EXPECT_TRUE(splash->isVisible()) << "without a close request the splash stays";
    EXPECT_TRUE(shown.size() == 1);
    splash->CloseSplash();
    EXPECT_FALSE(splash->isVisible());
    EXPECT_EQ(shown.size(), 1) << "a late close shows no tray window";
    time.advance(10000);
    EXPECT_EQ(time.activeTimers(), 0) << "the timer fires once";
}

TEST_F(Splash, FirstRunOpensTheFirstRunWindowEvenWhenTheSplashIsGone)
{
    make();
    splash->setAutoconn(true);
    time.advance(3000);
    EXPECT_EQ(shown, (QStringList{"tray", "firstRun"}));

    shown.clear();
    make();
    splash->setAutoconn(true);
    splash->hideSplash();
    time.advance(3000);
    EXPECT_EQ(shown, QStringList{QStringLiteral("firstRun")});
}

TEST_F(Splash, SilentOrAnotherProgramDoesNotShowTheTray)
{
    for (const auto &[exe, args, tray] :
         {std::tuple{"kivo", "-x nosilentmode", false}, std::tuple{"kivo", "Silent", true},
          std::tuple{"kivo", "SILENT", true}, std::tuple{"orvia-test", "", false},
          std::tuple{"KIVO", "", false}, std::tuple{"kivo-debug", "", true}}) {
        shown.clear();
        make(QString::fromLatin1(exe), QString::fromLatin1(args));
        splash->CloseSplash();
        time.advance(3000);
        EXPECT_FALSE(splash->isVisible());
        EXPECT_EQ(shown.contains(QStringLiteral("tray")), tray) << exe << " " << args;
    }
    // A tray window that detection asked for while the splash waited comes when the splash goes,
    // also when started silent; once the splash's time is up it is the caller's to show.
    shown.clear();
    make(QStringLiteral("kivo"), QStringLiteral("silent"));
    splash->CloseSplash();
    EXPECT_TRUE(splash->showTrayWindowOnClose());
    EXPECT_TRUE(shown.isEmpty());
    time.advance(3000);
    EXPECT_EQ(shown, QStringList{QStringLiteral("tray")});
    EXPECT_FALSE(splash->showTrayWindowOnClose());
}

TEST_F(Splash, LabelsAreEmptyUntilTheFirstStatusThenShowVersionAndBuild)
{
    ASSERT_TRUE(loadBuiltLanguage(QStringLiteral("en")));
    make();
    EXPECT_EQ(splash->frameGeometry().center(),
              QGuiApplication::primaryScreen()->availableGeometry().center())
        << "centred on the screen";
    EXPECT_TRUE(splash->usesProductPicture());
    EXPECT_TRUE(splash->versionText().isEmpty());
    EXPECT_TRUE(splash->buildText().isEmpty());
    splash->SetStatus(QStringLiteral("Loading..."));
    EXPECT_EQ(splash->statusText(), QStringLiteral("Loading..."));
    EXPECT_EQ(splash->versionText(), QStringLiteral("Version 1.0"));
    EXPECT_EQ(splash->buildText(), QStringLiteral("build 165"));
    globals().gLanguage = QStringLiteral("it");
    splash->SetStatus(QString());
    EXPECT_EQ(splash->versionText(), QStringLiteral("Versione 1.0"));

    frmSplash other(time, &time, ProgramVersion{}, QStringLiteral("kivo"), QString(),
                    QStringLiteral("Other"));
    other.showSplash();
    EXPECT_FALSE(other.usesProductPicture());
}

TEST_F(Splash, UnloadStopsTheTimerSoNothingFollows)
{
    make();
    splash->setAutoconn(true);
    splash->unload();
    time.advance(5000);
    EXPECT_FALSE(splash->isVisible());
    EXPECT_TRUE(shown.isEmpty());
}
