#include "endpoints/DriverServices.h"

#include "common/Globals.h"

namespace orvia::driver {

QString T(const QString &english)
{
    return english;
}

void log(const QString &line)
{
    globals().gLog.log(line, true);
}

void addDetails(const QString &line)
{
    globals().gDetails += line + QStringLiteral("\r\n");
}

QString fromGsm(const QString &gsmText)
{
    return gsmText;
}

} // namespace orvia::driver
