// The update page's widgets on the check: buttons, status text, the update-only form, and the end of
// the program through the tray's quit after a complete download started by a click.
#include "shell/UpdatePage.h"
#include "UpdateRig.h"

#include <QDir>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace orvia;
using namespace orvia::test;

namespace {

class RecordingHost : public IUpdateHost
{
public:
    int tabCount() const override { return tabs.size(); }
    void removeTab(int index) override { tabs.removeAt(index - 1); }
    void showWindow() override { ++shown; }
    QStringList tabs = {QStringLiteral("conn"), QStringLiteral("lang"), QStringLiteral("outl"),
                        QStringLiteral("iupd")};
    int shown = 0;
};

class UpdatePageTest : public UpdateRig
{
protected:
    void SetUp() override
    {
        UpdateRig::SetUp();
        Platform platform;
        platform.messageBox = &box;
        platform.settings = &settings;
        platform.system = &system;
        page = std::make_unique<UpdatePage>(platform, &shell, nullptr, &inet);
        page->check().setProgramVersion(QStringLiteral("1.0.165"));
        page->resize(400, 200);
    }
    void TearDown() override
    {
        page.reset();
        UpdateRig::TearDown();
    }
    std::unique_ptr<UpdatePage> page;
};

} // namespace

TEST_F(UpdatePageTest, ClicksRunTheCheckAndTheDownloadThroughToQuit)
{
    EXPECT_FALSE(page->CmdUpdate()->isEnabled());
    serveFile(QStringLiteral("/k"), QByteArray("\x00\x01\x02new", 6));
    serveCheck(offerReply(fileEntry("/k", "kivo")));
    page->CmdSearchUpd()->click();
    ASSERT_TRUE(page->CmdUpdate()->isEnabled());
    EXPECT_TRUE(page->TextUpdate()->toPlainText().contains(QStringLiteral("\nNew avaible version: 2.0.7\n")));
    EXPECT_TRUE(page->statusText().contains(QStringLiteral("\r\n"))); // the page keeps the text as given

    page->CmdUpdate()->click();
    EXPECT_EQ(dir.read(QStringLiteral("kivo.upd")), QByteArray("\x00\x01\x02new", 6));
    EXPECT_EQ(box.last().text, QStringLiteral("Download finished.\r\nPlease restart the application."));
    EXPECT_EQ(shell.quits, 1);
}

TEST_F(UpdatePageTest, CaretFollowsTheEndOfTheTextUntilTheReset)
{
    QString lines;
    for (int i = 0; i < 200; ++i)
        lines += QStringLiteral("line %1\r\n").arg(i);
    page->check().AppendUpdateStatus(lines);
    EXPECT_EQ(page->TextUpdate()->textCursor().position(),
              page->TextUpdate()->document()->characterCount() - 1);
    page->setUpdateEnabled(true);
    page->ResetUpdateTab();
    EXPECT_TRUE(page->TextUpdate()->toPlainText().isEmpty());
    EXPECT_TRUE(page->statusText().isEmpty());
    EXPECT_FALSE(page->CmdUpdate()->isEnabled());
}

TEST_F(UpdatePageTest, UpdateOnlyFormKeepsLanguageAndUpdateTabs)
{
    RecordingHost host;
    page->setHost(&host);
    page->UpdateMELU();
    EXPECT_EQ(host.tabs, QStringList({QStringLiteral("lang"), QStringLiteral("iupd")}));
    EXPECT_EQ(page->CmdUpdate()->text(), QStringLiteral("Update"));
    EXPECT_EQ(host.shown, 1);
    // A second call finds two tabs and leaves them.
    page->UpdateMELU();
    EXPECT_EQ(host.tabs.size(), 2);
    EXPECT_EQ(host.shown, 2);
}

TEST_F(UpdatePageTest, CaptionsFollowTheLanguage)
{
    ASSERT_TRUE(loadBuiltLanguage(QStringLiteral("de")));
    page->translateCaptions();
    EXPECT_EQ(page->CmdSearchUpd()->text(), QStringLiteral("Jetzt nach Updates suchen"));
    EXPECT_EQ(page->CmdUpdate()->text(), QStringLiteral("Orvia Link aktualisieren"));
}

// Pictures of the page at its natural size after a check, one per language, for a look at cut-off texts.
TEST_F(UpdatePageTest, ScreenshotsInEveryLanguage)
{
    const QString folder = qEnvironmentVariable("ORVIA_BIN_DIR") + QStringLiteral("/../screenshots");
    ASSERT_TRUE(QDir().mkpath(folder));
    serveCheck(offerReply(fileEntry("/k", "kivo")));
    for (const char *language : {"en", "de", "fr", "it", "sp"}) {
        ASSERT_TRUE(loadBuiltLanguage(QLatin1String(language)));
        page->translateCaptions();
        page->ResetUpdateTab();
        page->check().CheckForUpdate();
        page->adjustSize();
        page->show();
        EXPECT_TRUE(
            page->grab().save(folder + QStringLiteral("/update_page_%1.png").arg(QLatin1String(language))));
        // Both captions fit their buttons.
        for (QPushButton *b : {page->CmdSearchUpd(), page->CmdUpdate()})
            EXPECT_GE(b->width(), b->sizeHint().width()) << b->text().toStdString();
        page->CmdSearchUpd()->setText(QStringLiteral("Check for updates now"));
        page->CmdUpdate()->setText(QStringLiteral("Update Orvia Link"));
    }
}
