#pragma once
// The Tarvex family's own text forms of a date and a time of day in its calendar replies, fixed
// whatever the desktop's regional settings: "2026/12/09" and "08:05".
#include <QDate>
#include <QString>
#include <QTime>
#include <optional>

namespace orvia::phonesim {

inline QString tarvexDateText(QDate d)
{
    return d.toString(QStringLiteral("yyyy/MM/dd"));
}
inline QString tarvexTimeText(QTime t)
{
    return t.toString(QStringLiteral("HH:mm"));
}

} // namespace orvia::phonesim
