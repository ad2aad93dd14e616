#pragma once
// The program's own version: major, minor and revision, as the splash and about windows show them.
#include <QString>

namespace orvia {

struct ProgramVersion
{
    int major = 0;
    int minor = 0;
    int revision = 0;

    // "1.2.165" gives 1, 2, 165; missing or unreadable parts are 0.
    static ProgramVersion fromText(const QString &text);
    // The version the application was given (QCoreApplication::applicationVersion).
    static ProgramVersion current();
    QString majorMinor() const;
    QString full() const;
};

} // namespace orvia
