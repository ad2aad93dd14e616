#pragma once
// A read-only registry: the small API the program's registry helpers call.
#include <QByteArray>
#include <QString>
#include <cstdint>

namespace orvia {

namespace reg {
enum Type : std::uint32_t
{
    None = 0,
    Sz = 1,
    ExpandSz = 2,
    Binary = 3,
    Dword = 4,
    MultiSz = 7
};
constexpr std::uint32_t HKCR = 0x80000000u, HKCU = 0x80000001u, HKLM = 0x80000002u, HKU = 0x80000003u,
                        HKPD = 0x80000004u, HKCC = 0x80000005u, HKDD = 0x80000006u, Invalid = 0x88888888u;
constexpr long Success = 0, FileNotFound = 2, InvalidHandle = 6, MoreData = 234;
} // namespace reg

class IRegistryBackend
{
public:
    virtual ~IRegistryBackend() = default;
    // Each returns 0 on success or an error code, like the classic registry API.
    virtual long openKey(std::uint32_t root, const QString &subKey, std::uint32_t access,
                         std::uint32_t &hKey) = 0;
    // data: the value's raw bytes (a REG_SZ includes its terminating NUL).
    virtual long queryValue(std::uint32_t hKey, const QString &name, std::uint32_t &type,
                            QByteArray &data) = 0;
    virtual long closeKey(std::uint32_t hKey) = 0;
};

} // namespace orvia
