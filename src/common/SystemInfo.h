#pragma once
// Small system procedures of the main program: the OS version text, the count of running instances of
// a program, and the removal of a folder the settings name for deletion.
#include "platform/SettingsStore.h"
#include "platform/SystemServices.h"
#include <QString>

namespace orvia {

// "major.minor" of the operating system, e.g. "6.1".
QString GetWinVersion(const ISystemServices &sys);
// The number of the current user's processes whose executable name contains exeName, without regard
// to case (so "kivo" counts kivo and mykivo alike).
qint16 CountProcesses(const ISystemServices &sys, const QString &exeName);
// Empties and removes the folder named by the setting "RemoveDir" of section "Common", then deletes
// the setting, whatever failed on the way.
void RemovePendingDir(ISettingsStore &settings, ISystemServices &sys);

} // namespace orvia
