#include "launcher/FindProcess.h"

namespace orvia {

qint32 FindProcess(const ISystemServices &sys, const QString &exeName)
{
    const QString wanted = exeName.toLower();
    for (const ProcessEntry &p : sys.processes()) {
        QString name = p.exeName.toLower();
        const qsizetype nul = name.indexOf(QChar(0));
        if (nul >= 0)
            name.truncate(nul);
        if (name.contains(wanted))
            return p.pid;
    }
    return 0;
}

} // namespace orvia
