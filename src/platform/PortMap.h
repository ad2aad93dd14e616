#pragma once
// COM port numbers to device paths. The settings section "ports" (application "Velmora") may pin
// "COMn=/path"; the machine's serial devices not pinned take the free numbers from COM1 upwards in
// their natural order. Read afresh on every call, as devices come and go.
#include "platform/SettingsStore.h"
#include <QMap>
#include <QString>
#include <functional>

namespace orvia {

class PortMap
{
public:
    using Scanner = std::function<QStringList()>;
    static constexpr int kMaxPort = 255;

    // `settings` may be null (no pins); `scanner` empty: the machine's serial devices.
    explicit PortMap(const ISettingsStore *settings, Scanner scanner = Scanner());

    QMap<int, QString> ports() const;            // number -> device path, every mapped port
    QString devicePath(int port) const;          // empty when the number is not mapped
    int portOf(const QString &devicePath) const; // 0 when the device is not mapped

private:
    const ISettingsStore *m_settings;
    Scanner m_scanner;
};

} // namespace orvia
