#pragma once
// The Windows-1252 code page that text takes on the serial wire and in the registry's narrow strings.
// Characters it cannot hold become '?'; the five unassigned bytes map to the C1 controls and back.
#include <QByteArray>
#include <QString>

namespace orvia::cp1252 {

QByteArray encode(const QString &text);
QString decode(const QByteArray &bytes);
QString decode(const char *data, qsizetype size);

} // namespace orvia::cp1252
