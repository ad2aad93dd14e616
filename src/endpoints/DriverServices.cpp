#include "endpoints/DriverServices.h"

namespace orvia::driver {

QString T(const QString &english)
{
    return english;
}

void log(const QString &)
{
}

void addDetails(const QString &)
{
}

QString fromGsm(const QString &gsmText)
{
    return gsmText;
}

} // namespace orvia::driver
