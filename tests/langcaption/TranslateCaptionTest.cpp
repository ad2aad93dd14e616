#include "shell/TranslateCaption.h"
#include "common/Globals.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QVBoxLayout>
#include <gtest/gtest.h>

using namespace orvia;

namespace {

class TranslateCaptionTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        resetGlobals();
        const char *pairs[][2] = {
            {"About", "Info"},
            {"Close", "Schlie\u00DFen"},
            {"Status", "Status"},
            {"Auto detect", "Automatisch erkennen"},
            {"Status log", "Statusprotokoll"},
            {"File", "Datei"},
            {"Exit", "Beenden"},
            {"Connection", "Verbindung"},
            {"Language", "Sprache"},
            {"Connect", "Verbinden"},
            {"Synchronization software for Velmora phones and Microsoft Outlook.",
             "Synchronisationssoftware f\u00FCr Velmora-Telefone und Microsoft Outlook."},
        };
        qint16 id = 0;
        for (const auto &p : pairs) {
            ++id;
            globals().gLanguages.add(id, QStringLiteral("en"), QString(), QString::fromUtf8(p[0]));
            globals().gLanguages.add(id, QStringLiteral("de"), QString(), QString::fromUtf8(p[1]));
        }
        globals().gLanguage = QStringLiteral("de");
    }
    void TearDown() override { resetGlobals(); }
};

} // namespace

TEST_F(TranslateCaptionTest, TranslatesTheCaptionedControlsOfAWindow)
{
    QDialog window;
    window.setWindowTitle(QStringLiteral("About"));
    auto *layout = new QVBoxLayout(&window);
    auto *close = new QPushButton(QStringLiteral("Close"));
    auto *label =
        new QLabel(QStringLiteral("Synchronization software for Velmora phones and Microsoft Outlook."));
    auto *option = new QRadioButton(QStringLiteral("Auto detect"));
    auto *frame = new QGroupBox(QStringLiteral("Status log"));
    auto *unknown = new QPushButton(QStringLiteral("Frobnicate"));
    for (QWidget *w :
         {static_cast<QWidget *>(close), static_cast<QWidget *>(label), static_cast<QWidget *>(option),
          static_cast<QWidget *>(frame), static_cast<QWidget *>(unknown)})
        layout->addWidget(w);

    for (QObject *o :
         {static_cast<QObject *>(&window), static_cast<QObject *>(close), static_cast<QObject *>(label),
          static_cast<QObject *>(option), static_cast<QObject *>(frame), static_cast<QObject *>(unknown)})
        TranslateCaption(o);

    EXPECT_EQ(window.windowTitle(), QStringLiteral("Info"));
    EXPECT_EQ(close->text(), QStringLiteral("Schlie\u00DFen"));
    EXPECT_EQ(
        label->text(),
        QStringLiteral(
            "Synchronisationssoftware f\u00FCr Velmora\u00AE-Telefone und Microsoft\u00AE Outlook\u00AE."));
    EXPECT_EQ(option->text(), QStringLiteral("Automatisch erkennen"));
    EXPECT_EQ(frame->title(), QStringLiteral("Statusprotokoll"));
    EXPECT_EQ(unknown->text(), QStringLiteral("_Frobnicate_"));
}

TEST_F(TranslateCaptionTest, LeavesOtherControlsAlone)
{
    QWidget window;
    window.setWindowTitle(QStringLiteral("About"));
    auto *check = new QCheckBox(QStringLiteral("Connect"), &window);
    auto *edit = new QLineEdit(QStringLiteral("Status"), &window);
    auto *combo = new QComboBox(&window);
    combo->addItem(QStringLiteral("Language"));
    auto *child = new QWidget(&window);
    child->setWindowTitle(QStringLiteral("About")); // not a window: its title is no caption
    auto *emptyLabel = new QLabel(&window);

    for (QObject *o :
         {static_cast<QObject *>(check), static_cast<QObject *>(edit), static_cast<QObject *>(combo),
          static_cast<QObject *>(child), static_cast<QObject *>(emptyLabel)})
        TranslateCaption(o);
    TranslateCaption(nullptr);

    EXPECT_EQ(check->text(), QStringLiteral("Connect"));
    EXPECT_EQ(edit->text(), QStringLiteral("Status"));
    EXPECT_EQ(combo->itemText(0), QStringLiteral("Language"));
    EXPECT_EQ(child->windowTitle(), QStringLiteral("About"));
    EXPECT_EQ(emptyLabel->text(), QString());
}

TEST_F(TranslateCaptionTest, MenusActionsAndTabs)
{
    QMenuBar bar;
    QMenu *file = bar.addMenu(QStringLiteral("File"));
    QAction *exit = file->addAction(QStringLiteral("Exit"));
    TranslateCaption(file);
    TranslateCaption(exit);
    EXPECT_EQ(file->title(), QStringLiteral("Datei"));
    EXPECT_EQ(file->menuAction()->text(), QStringLiteral("Datei")); // what the menu bar shows
    EXPECT_EQ(exit->text(), QStringLiteral("Beenden"));

    QTabBar tabs;
    tabs.addTab(QStringLiteral("Connection"));
    tabs.addTab(QStringLiteral("Language"));
    tabs.addTab(QStringLiteral("Outlook\u00AE"));
    TranslateTabCaption(&tabs, 0);
    TranslateTabCaption(&tabs, 1);
    TranslateTabCaption(&tabs, 3);
    TranslateTabCaption(&tabs, -1);
    TranslateTabCaption(nullptr, 0);
    EXPECT_EQ(tabs.tabText(0), QStringLiteral("Verbindung"));
    EXPECT_EQ(tabs.tabText(1), QStringLiteral("Sprache"));
    EXPECT_EQ(tabs.tabText(2), QStringLiteral("Outlook\u00AE"));
}
