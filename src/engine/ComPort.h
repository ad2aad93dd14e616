#pragma once
// A serial port number (0-9) as the program handles it from discovery to the open link. Its texts
// exist only where it meets the outside: the registry's "COMn" values, the saved "port" setting and
// what the user reads.
#include <QString>
#include <optional>

namespace orvia {

struct ComPort
{
    qint16 number = 0;

    constexpr ComPort() = default;
    constexpr explicit ComPort(qint16 n) : number(n) {}

    // Starting a detection with port 0 probes every available port.
    static constexpr ComPort allPorts() { return ComPort(); }
    constexpr bool isAllPorts() const { return number == 0; }

    // A registry value naming a port: exactly "COM" and one digit, upper case.
    static std::optional<ComPort> fromRegistryValue(const QString &value);
    // The infrared port's value: starts with "com" in any case; its last character is the number.
    // None when that is no digit or 0.
    static std::optional<ComPort> fromInfraredValue(const QString &value);
    // The saved "port" setting: its last character is the number; anything else reads as port 0.
    static ComPort fromSetting(const QString &saved);
    QString settingText() const; // "Com 3"
    QString caption() const { return settingText(); }
    QString text() const { return QString::number(number); }

    friend constexpr bool operator==(ComPort a, ComPort b) { return a.number == b.number; }
};

} // namespace orvia
