#include "platform/PortMap.h"
#include "platform/SerialDevices.h"
#include <QSet>

namespace orvia {

namespace {
const QString kPortsSection = QStringLiteral("ports");

// "COM3" (any case, blanks allowed before the number) gives 3; anything else 0.
int pinnedNumber(const QString &key)
{
    if (!key.startsWith(QLatin1String("com"), Qt::CaseInsensitive))
        return 0;
    bool ok = false;
    const int n = key.mid(3).trimmed().toInt(&ok);
    return ok && n >= 1 && n <= PortMap::kMaxPort ? n : 0;
}
} // namespace

PortMap::PortMap(const ISettingsStore *settings, Scanner scanner)
    : m_settings(settings),
      m_scanner(scanner ? std::move(scanner) : Scanner([] { return scanSerialDevices(); }))
{
}

QMap<int, QString> PortMap::ports() const
{
    QMap<int, QString> map;
    QSet<QString> pinnedPaths;
    if (m_settings) {
        for (const QString &key : m_settings->keys(kSettingsApp, kPortsSection)) {
            const int n = pinnedNumber(key);
            const QString path = m_settings->get(kSettingsApp, kPortsSection, key).trimmed();
            if (n == 0 || path.isEmpty())
                continue;
            map.insert(n, path);
            pinnedPaths.insert(path);
        }
    }
    int next = 1;
    for (const QString &dev : m_scanner()) {
        if (pinnedPaths.contains(dev))
            continue;
        while (next <= kMaxPort && map.contains(next))
            ++next;
        if (next > kMaxPort)
            break;
        map.insert(next, dev);
    }
    return map;
}

QString PortMap::devicePath(int port) const
{
    return ports().value(port);
}

int PortMap::portOf(const QString &devicePath) const
{
    const QMap<int, QString> map = ports();
    for (auto it = map.cbegin(); it != map.cend(); ++it)
        if (it.value() == devicePath)
            return it.key();
    return 0;
}

} // namespace orvia
