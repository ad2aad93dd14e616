#include "launcher/Launcher.h"
#include "launcher/FindProcess.h"
#include "platform/RuntimeError.h"

namespace orvia {

namespace {
const QString kUpd = QStringLiteral(".upd");
const QString kOld = QStringLiteral(".old");

template <typename F> bool ignoringErrors(F f)
{
    try {
        f();
        return true;
    } catch (const RuntimeError &) {
        return false;
    }
}
} // namespace

const QString Launcher::kSwapFailedText =
    QStringLiteral("An error occurred while starting the new version of the application.\r\n"
                   "The old files will be restored.");
const QString Launcher::kUpdateErrorText = QStringLiteral("Error while updating files.");

QString Launcher::startFailedText(const QString &program)
{
    return QStringLiteral("The application \"%1\" could not be started.").arg(program);
}

Launcher::Launcher(ISystemServices &sys, IMessageLoop &loop, IMessageBox &box)
    : m_sys(sys), m_loop(loop), m_box(box)
{
}

void Launcher::message(const QString &text)
{
    m_box.show(text, mb::OkOnly, kLauncherTitle);
}

void Launcher::waitForMainProgram()
{
    qint32 pid = 0;
    do {
        m_loop.yieldOnce();
        pid = FindProcess(m_sys, m_program.toLower());
        m_loop.pause(m_pollMs);
        m_loop.yieldOnce();
    } while (pid != 0);
}

QString Launcher::inFolder(const QString &name) const
{
    return m_folder + QLatin1Char('/') + name;
}

bool Launcher::swap(const QStringList &updates)
{
    for (const QString &name : updates) {
        const QString update = inFolder(name);
        const QString target = update.left(update.size() - 4);
        // A target that does not exist yet (a new file) simply gets no backup.
        if (ignoringErrors([&] { m_sys.rename(target, target + kOld); }))
            m_backups.append(target);
        if (!ignoringErrors([&] { m_sys.rename(update, target); }))
            return false;
    }
    return true;
}

bool Launcher::rollBack()
{
    ignoringErrors([&] { m_sys.deleteFile(inFolder(QStringLiteral("*") + kUpd)); });
    // Only the backups this run made go back: an older ".old" that could not be deleted before the
    // swap must not replace the files that were current.
    for (const QString &target : std::as_const(m_backups)) {
        ignoringErrors([&] { m_sys.deleteFile(target); });
        if (!ignoringErrors([&] { m_sys.rename(target + kOld, target); }))
            return false;
    }
    return true;
}

bool Launcher::startMainProgram()
{
    if (m_sys.startProgram(inFolder(m_program), QStringList(), true))
        return true;
    message(startFailedText(m_program));
    return false;
}

Launcher::Outcome Launcher::run()
{
    m_loop.yieldOnce();
    waitForMainProgram();

    m_folder = m_sys.programDir();
    QStringList updates;
    ignoringErrors([&] { updates = m_sys.listFiles(inFolder(QStringLiteral("*") + kUpd), attr::Normal); });
    if (!updates.isEmpty()) {
        ignoringErrors([&] { m_sys.deleteFile(inFolder(QStringLiteral("*") + kOld)); });
        if (!swap(updates)) {
            message(kSwapFailedText);
            const bool restored = rollBack();
            const bool started = restored && startMainProgram();
            message(kUpdateErrorText);
            return !restored ? Outcome::RollBackFailed : started ? Outcome::RolledBack : Outcome::StartFailed;
        }
    }
    return startMainProgram() ? Outcome::Started : Outcome::StartFailed;
}

} // namespace orvia
