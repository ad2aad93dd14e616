#pragma once
// The running processes as the kernel's process folder shows them.
#include "platform/SystemServices.h"
#include <QList>

namespace orvia {

// Processes whose real user is `uid`, in ascending id order. The name is the executable's file name
// when it can be read, else the kernel's short command name. An unreadable folder gives an empty list.
QList<ProcessEntry> readProcessTable(const QString &procDir, uint uid);

} // namespace orvia
