// OrviaLink: applies the updates the main program downloaded, then starts it. No window of its own.
#include "launcher/Launcher.h"
#include "platform/QtTimerFactory.h"
#include "platform/StderrMessageBox.h"
#include "platform/SystemServicesPosix.h"
#include "shell/WidgetMessageBox.h"
#include <QApplication>
#include <memory>

int main(int argc, char **argv)
{
    using namespace orvia;
    const bool headless = StderrMessageBox::headless();
    if (headless && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    SystemServices sys;
    QtMessageLoop loop;
    std::unique_ptr<IMessageBox> box;
    if (headless)
        box = std::make_unique<StderrMessageBox>();
    else
        box = std::make_unique<WidgetMessageBox>();

    Launcher launcher(sys, loop, *box);
    // For tests: another program name to wait for and start, and a shorter look-up interval.
    if (!qEnvironmentVariableIsEmpty("ORVIA_LAUNCHER_PROGRAM"))
        launcher.setProgram(qEnvironmentVariable("ORVIA_LAUNCHER_PROGRAM"));
    bool ok = false;
    const int poll = qEnvironmentVariableIntValue("ORVIA_LAUNCHER_POLL_MS", &ok);
    if (ok && poll >= 0)
        launcher.setPollInterval(poll);

    return launcher.run() == Launcher::Outcome::Started ? 0 : 1;
}
