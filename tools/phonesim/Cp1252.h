#pragma once
// The link's Windows-1252 text, under the names the simulator's users call it by.
#include "platform/Windows1252.h"

namespace orvia::phonesim {

inline QString fromCp1252(const QByteArray &bytes) { return cp1252::decode(bytes); }
inline QByteArray toCp1252(const QString &text) { return cp1252::encode(text); }

} // namespace orvia::phonesim
