#include "engine/EngineText.h"
#include "common/Globals.h"
#include "common/Translation.h"

namespace orvia {

QString T(const QString &english)
{
    return Translate(english);
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
