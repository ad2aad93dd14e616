// kivo: the tray application. main() builds the real platform services and hands them to the
// program's objects, then runs the start-up.
#include "common/Globals.h"
#include "platform/SerialCommControl.h"
#include "platform/StderrMessageBox.h"
#include "platform/SystemPlatform.h"
#include "platform/pim/PimNamespace.h"
#include "shell/HeadlessNotices.h"
#include "shell/KivoProgram.h"
#include "shell/WidgetMessageBox.h"
#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QSessionManager>
#include <memory>

using namespace orvia;

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    quietHeadlessWindowNotices();
    QCoreApplication::setApplicationName(QStringLiteral("kivo"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ORVIA_VERSION_TEXT));
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/kivo.png")));

    // Without a display nobody could answer a modal box: say it on standard error instead.
    std::unique_ptr<IMessageBox> box;
    if (StderrMessageBox::headless())
        box = std::make_unique<StderrMessageBox>();
    else
        box = std::make_unique<WidgetMessageBox>();
    SystemPlatform system(box.get());
    Platform &platform = system.platform();
    std::unique_ptr<SerialCommControl> comm = system.createCommControl();

    // The program ends only through the tray's quit; it may come before the event loop runs.
    bool quitRequested = false;
    KivoOptions options;
    const QString dir = QCoreApplication::applicationDirPath();
    options.languageFile = dir + QStringLiteral("/lang.dbl");
    options.helpFile = dir + QStringLiteral("/Orvia Link help.html");
    options.storeRoot = platform.settings->get(kSettingsApp, kSettingsSection, QStringLiteral("store_root"),
                                               pim::PimApplication::defaultRoot());
    options.logFile = MrLog::defaultFilePath();
    options.exeFileName = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    options.commandLine = QCoreApplication::arguments().mid(1).join(QLatin1Char(' '));
    options.version = ProgramVersion::current();
    options.endProgram = [&quitRequested] {
        quitRequested = true;
        QCoreApplication::exit(0);
    };

    KivoProgram program(platform, comm.get(), options);
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &app,
                     [&program](QSessionManager &) { program.sessionEnding(); });
    if (program.start() != StartResult::Running || quitRequested)
        return 0;
    return QCoreApplication::exec();
}
