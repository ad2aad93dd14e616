#include "common/SystemInfo.h"
#include "platform/RuntimeError.h"

namespace orvia {

QString GetWinVersion(const ISystemServices &sys)
{
    return QString::number(sys.osMajorVersion()) + QLatin1Char('.') + QString::number(sys.osMinorVersion());
}

qint16 CountProcesses(const ISystemServices &sys, const QString &exeName)
{
    const QString wanted = exeName.toLower();
    qint16 count = 0;
    for (const QString &name : sys.processNames()) {
        QString n = name.toLower();
        const qsizetype nul = n.indexOf(QChar(0));
        if (nul >= 0)
            n.truncate(nul);
        if (n.contains(wanted)) {
            if (count == 32767)
                throwError(ErrOverflow);
            ++count;
        }
    }
    return count;
}

void RemovePendingDir(ISettingsStore &settings, ISystemServices &sys)
{
    const QString key = QStringLiteral("RemoveDir");
    QString dir = settings.get(kSettingsApp, kSettingsCommon, key);
    if (dir.isEmpty())
        return;
    // File names are appended to the folder directly: without its separator the pattern would
    // reach into the parent folder.
    if (dir.endsWith(QLatin1Char('\\')))
        dir.chop(1);
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    try {
        const QStringList names =
            sys.listFiles(dir + QStringLiteral("*.*"), attr::ReadOnly | attr::Hidden | attr::System);
        for (const QString &name : names) {
            try {
                sys.setAttributes(dir + name, attr::Normal);
            } catch (const RuntimeError &) {
            }
            try {
                sys.deleteFile(dir + name);
            } catch (const RuntimeError &) {
            }
        }
    } catch (const RuntimeError &) {
    }
    try {
        sys.removeDir(dir);
    } catch (const RuntimeError &) {
    }
    try {
        settings.remove(kSettingsApp, kSettingsCommon, key);
    } catch (const RuntimeError &) {
    }
}

} // namespace orvia
