#pragma once
// The settings text of the serial control: "speed,parity,data bits,stop bits", e.g. "57600,N,8,1".
#include <QString>

namespace orvia {

struct SerialSettings
{
    qint32 baud = 9600;
    char parity = 'N';   // N, E, O, M or S
    int dataBits = 8;    // 5 to 8
    int stopTenths = 10; // 10, 15 or 20

    // Throws RuntimeError 380 (invalid property value) on anything else.
    static SerialSettings parse(const QString &text);
    QString toString() const;
};

} // namespace orvia
