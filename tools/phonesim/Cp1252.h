#pragma once
// Text on the phone link is Windows-1252: one byte per character.
#include <QByteArray>
#include <QString>

namespace orvia::phonesim {

QString fromCp1252(const QByteArray &bytes);
// Characters that Windows-1252 cannot hold become '?'.
QByteArray toCp1252(const QString &text);

} // namespace orvia::phonesim
