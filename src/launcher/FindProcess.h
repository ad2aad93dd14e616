#pragma once
// The process lookup of the launcher.
#include "platform/SystemServices.h"

namespace orvia {

// The id of the first running process (of this user) whose executable name, lower-cased and cut at a
// NUL, contains exeName lower-cased; 0 when there is none.
qint32 FindProcess(const ISystemServices &sys, const QString &exeName);

} // namespace orvia
