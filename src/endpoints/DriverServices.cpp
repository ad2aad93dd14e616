#include "endpoints/DriverServices.h"

#include "common/Details.h"
#include "common/Globals.h"
#include "common/GsmCharset.h"
#include "common/Translation.h"

namespace orvia::driver {

QString T(const QString &english)
{
    return Translate(english);
}

void log(const QString &line)
{
    globals().gLog.log(line, true);
}

void addDetails(const QString &name, const QString &text)
{
    AddDetails(name, text);
}

QString fromGsm(const QString &gsmText)
{
    return ConvertGsmCharset(gsmText, false);
}

} // namespace orvia::driver
