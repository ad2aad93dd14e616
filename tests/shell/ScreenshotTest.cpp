// Writes a picture of every window in each of the five languages to <build>/screenshots, so that cut
// or overlapping captions can be seen; checks that no caption is wider than its control.
#include "ShellRig.h"
#include "common/Translation.h"
#include "phonesim/SimCommControl.h"
#include "shell/FormAbout.h"
#include "shell/FormAutoConn.h"
#include "shell/FormErrorLog.h"
#include "shell/FormMainWindow.h"
#include "shell/FrmSysTray.h"
#include "shell/WidgetMessageBox.h"
#include "shell/frmSplash.h"
#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFontMetrics>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTabBar>
#include <QTimer>
#include <gtest/gtest.h>

using namespace orvia;
using namespace orvia::test;

namespace {

QString shotDir()
{
    const QString dir = qEnvironmentVariable("ORVIA_BIN_DIR") + QStringLiteral("/../screenshots");
    QDir().mkpath(dir);
    return QDir(dir).absolutePath();
}

void shoot(QWidget &w, const QString &language, const QString &name)
{
    w.show();
    QCoreApplication::processEvents();
    EXPECT_TRUE(w.grab().save(shotDir() + QStringLiteral("/%1_%2.png").arg(name, language)))
        << name.toStdString();
    // Every push button's caption fits its button.
    for (QPushButton *b : w.findChildren<QPushButton *>()) {
        if (!b->isVisible())
            continue;
        // The style's size hint is the room the caption, icon and frame need.
        EXPECT_LE(b->sizeHint().width(), b->width())
            << name.toStdString() << " " << language.toStdString() << ": " << b->text().toStdString();
    }
    // Every tab caption is shown whole, without scroll arrows.
    for (QTabBar *t : w.findChildren<QTabBar *>()) {
        if (!t->isVisible())
            continue;
        EXPECT_LE(t->sizeHint().width(), t->width()) << name.toStdString() << " " << language.toStdString();
    }
    w.hide();
}

} // namespace

TEST(Screenshots, EveryWindowInEveryLanguage)
{
    const QList<std::pair<QString, QString>> languages{
        {"en", "English"}, {"de", "German"}, {"fr", "French"}, {"it", "Italian"}, {"sp", "Spanish"}};
    for (const auto &[code, name] : languages) {
        ShellRig rig(name);
        rig.options.createSetup = nullptr; // the program's own setup window
        rig.listPorts({1, 3});
        phonesim::SimCommControl phone(QStringLiteral("K310"), QString(), &rig.time);
        rig.comm = &phone;
        ASSERT_EQ(rig.start(), StartResult::Running) << code.toStdString();
        KivoProgram &p = *rig.program;

        shoot(p.splash(), code, QStringLiteral("splash"));

        rig.connectPhone(QStringLiteral("K310"));
        p.tray().show();
        p.tray().onActivate();
        shoot(p.tray(), code, QStringLiteral("tray"));
        p.tray().trayMouse(FrmSysTray::kRightButtonUp);
        shoot(*p.tray().popupMenu(), code, QStringLiteral("tray_popup"));

        FormMainWindow &main = p.mainWindow();
        main.setProgressText(QStringLiteral("Start Contacts Sync...done\r\nLoading data from Outlook...12 "
                                            "entries, done.\r\n"));
        main.setOverallBar(30);
        main.setOperationBar(60);
        shoot(main, code, QStringLiteral("main_running"));
        // The stop question: the toolkit's own Yes and No in the program's language.
        QTimer::singleShot(0, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->button(QMessageBox::Yes)->text(),
                      QCoreApplication::translate("QPlatformTheme", "&Yes"));
            shoot(*box, code, QStringLiteral("stop_question"));
            box->button(QMessageBox::No)->click();
        });
        EXPECT_EQ(
            WidgetMessageBox(&main).show(Translate(QStringLiteral("Operation in progress. Quit anyway?")),
                                         mb::YesNo, Translate(QStringLiteral("Interruption requested"))),
            mb::No);
        main.setButtonVisible(ViewButton::Stop, false);
        main.setButtonVisible(ViewButton::Done, true);
        main.setButtonVisible(ViewButton::Details, true);
        main.setButtonEnabled(ViewButton::Details, true);
        shoot(main, code, QStringLiteral("main_done"));

        globals().gDetails = QStringLiteral("Details for Outlook: 3 entries out of date.\r\n");
        shoot(p.details(), code, QStringLiteral("details"));

        auto *setup = dynamic_cast<QWidget *>(&p.setup());
        ASSERT_NE(setup, nullptr);
        // Opened on its update page (as "Check for update" does), the window keeps its size on every page.
        p.setup().SelectTab(4);
        setup->show();
        QCoreApplication::processEvents();
        const QSize opened = setup->size();
        for (int tab = 1; tab <= 4; ++tab) {
            p.setup().SelectTab(tab);
            shoot(*setup, code, QStringLiteral("setup_page%1").arg(tab));
            EXPECT_EQ(setup->size(), opened) << code.toStdString() << " page " << tab;
        }

        FormAutoConn first(&p.setup());
        shoot(first, code, QStringLiteral("firstrun"));

        FormAbout about(rig.system, ProgramVersion{1, 0, 165});
        shoot(about, code, QStringLiteral("about"));
        rig.program.reset(); // before the serial control it uses
    }
}
