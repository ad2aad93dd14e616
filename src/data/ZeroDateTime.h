#pragma once
// The zero date-time: 30 December 1899, 00:00 local time. A calendar record's unset `dend` (and any
// date-time never given a value) holds it.
#include <QDateTime>

namespace orvia {

inline QDate zeroDate()
{
    return QDate(1899, 12, 30);
}

inline QDateTime zeroDateTime()
{
    return QDateTime(zeroDate(), QTime(0, 0));
}

} // namespace orvia
