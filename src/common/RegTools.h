#pragma once
// Reading text values from the registry view: split a full key path into its root and sub-key, open
// and close keys, read a REG_SZ value with a default.
#include "platform/RegistryBackend.h"
#include <QString>
#include <cstdint>

namespace orvia {

// Returns the root handle named before the first backslash (upper-cased, one of the seven full root
// names; anything else gives reg::Invalid) and leaves the text after that backslash in keyPath.
// A path without a backslash is all root name and gives an empty sub-key.
std::uint32_t SplitRootKey(QString &keyPath);
bool OpenRegKey(IRegistryBackend &reg, QString keyPath, std::uint32_t &hKey, std::uint32_t access);
bool CloseRegKey(IRegistryBackend &reg, std::uint32_t hKey);
// True with the value's text (up to its first NUL) in result; otherwise false with result = defaultValue.
// Only REG_SZ values are read.
bool ReadRegString(IRegistryBackend &reg, const QString &keyPath, const QString &valueName, QString &result,
                   const QString &defaultValue);

} // namespace orvia
