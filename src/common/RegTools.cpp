#include "common/RegTools.h"
#include "platform/Windows1252.h"

namespace orvia {

namespace {
constexpr std::uint32_t kQueryValue = 1;

struct RootName
{
    const char *name;
    std::uint32_t handle;
};
constexpr RootName kRoots[] = {
    {"HKEY_CLASSES_ROOT", reg::HKCR},     {"HKEY_CURRENT_USER", reg::HKCU},
    {"HKEY_LOCAL_MACHINE", reg::HKLM},    {"HKEY_USERS", reg::HKU},
    {"HKEY_PERFORMANCE_DATA", reg::HKPD}, {"HKEY_CURRENT_CONFIG", reg::HKCC},
    {"HKEY_DYN_DATA", reg::HKDD},
};
} // namespace

std::uint32_t SplitRootKey(QString &keyPath)
{
    const qsizetype p = keyPath.indexOf(QLatin1Char('\\'));
    QString root;
    if (p < 0) {
        root = keyPath.toUpper();
        keyPath.clear();
    } else {
        root = keyPath.left(p).toUpper();
        keyPath = keyPath.mid(p + 1);
    }
    for (const RootName &r : kRoots)
        if (root == QLatin1String(r.name))
            return r.handle;
    return reg::Invalid;
}

bool OpenRegKey(IRegistryBackend &reg, QString keyPath, std::uint32_t &hKey, std::uint32_t access)
{
    const std::uint32_t root = SplitRootKey(keyPath);
    return reg.openKey(root, keyPath, access, hKey) == reg::Success;
}

bool CloseRegKey(IRegistryBackend &reg, std::uint32_t hKey)
{
    return reg.closeKey(hKey) == reg::Success;
}

bool ReadRegString(IRegistryBackend &reg, const QString &keyPath, const QString &valueName, QString &result,
                   const QString &defaultValue)
{
    bool success = false;
    std::uint32_t hKey = 0;
    if (OpenRegKey(reg, keyPath, hKey, kQueryValue)) {
        std::uint32_t type = reg::None;
        QByteArray data;
        if (reg.queryValue(hKey, valueName, type, data) == reg::Success && type == reg::Sz) {
            // The text ends at the first NUL; data stored without one is taken whole.
            const qsizetype nul = data.indexOf('\0');
            result = cp1252::decode(data.constData(), nul < 0 ? data.size() : nul);
            success = true;
        }
        CloseRegKey(reg, hKey);
    }
    if (!success)
        result = defaultValue;
    return success;
}

} // namespace orvia
