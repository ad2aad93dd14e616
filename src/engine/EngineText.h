#pragma once
// The engine's access to translation and the diagnostic log.
#include <QString>

namespace orvia {

QString T(const QString &english);
void logLine(const QString &line);
void dumpCriticalSection(const QString &line);
void clearDetails();
QString currentDetails();

} // namespace orvia
