#pragma once
// The machine's serial devices: UARTs that really exist (/dev/ttyS* whose port type is known),
// USB and modem-class adapters, Bluetooth serial links and infrared (IrCOMM) ports, in natural order
// (ttyS2 before ttyS10).
#include <QString>
#include <QStringList>

namespace orvia {

QStringList scanSerialDevices(const QString &devDir = QStringLiteral("/dev"),
                              const QString &sysTtyDir = QStringLiteral("/sys/class/tty"));
bool isInfraredDevice(const QString &path);
// Orders "ttyS2" before "ttyS10": names compare by their text, then by their trailing number.
bool naturalLess(const QString &a, const QString &b);

} // namespace orvia
