#include "engine/EngineText.h"
#include "common/Globals.h"

namespace orvia {

QString T(const QString &english)
{
    // Wired to the translation table once it is in place.
    return english;
}

void logLine(const QString &line)
{
    globals().gLog.log(line);
}

void dumpCriticalSection(const QString &line)
{
    globals().gLog.DumpCriticalSection(line);
}

void clearDetails()
{
    globals().gDetails.clear();
}

QString currentDetails()
{
    return globals().gDetails;
}

} // namespace orvia
