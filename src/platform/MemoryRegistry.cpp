#include "platform/MemoryRegistry.h"
#include "platform/Windows1252.h"

namespace orvia {

bool MemoryRegistry::validRoot(std::uint32_t root)
{
    return root >= reg::HKCR && root <= reg::HKDD;
}

QString MemoryRegistry::keyId(std::uint32_t root, const QString &subKey)
{
    return QString::number(root, 16) + QLatin1Char('\\') + subKey.toLower();
}

long MemoryRegistry::openKey(std::uint32_t root, const QString &subKey, std::uint32_t, std::uint32_t &hKey)
{
    if (!validRoot(root))
        return reg::InvalidHandle;
    const QString id = keyId(root, subKey);
    if (!subKey.isEmpty() && !m_keys.contains(id))
        return reg::FileNotFound;
    hKey = m_nextHandle;
    m_nextHandle += 4;
    m_handles.insert(hKey, id);
    ++m_opens;
    return reg::Success;
}

long MemoryRegistry::queryValue(std::uint32_t hKey, const QString &name, std::uint32_t &type,
                                QByteArray &data)
{
    const auto h = m_handles.constFind(hKey);
    if (h == m_handles.constEnd())
        return reg::InvalidHandle;
    const auto key = m_keys.constFind(*h);
    if (key == m_keys.constEnd())
        return reg::FileNotFound; // removed while open
    const auto v = key->constFind(name.toLower());
    if (v == key->constEnd())
        return reg::FileNotFound;
    type = v->type;
    data = v->data;
    return reg::Success;
}

long MemoryRegistry::closeKey(std::uint32_t hKey)
{
    return m_handles.remove(hKey) ? reg::Success : reg::InvalidHandle;
}

void MemoryRegistry::addKey(std::uint32_t root, const QString &subKey)
{
    m_keys[keyId(root, subKey)];
}

void MemoryRegistry::setValue(std::uint32_t root, const QString &subKey, const QString &name,
                              std::uint32_t type, const QByteArray &data)
{
    m_keys[keyId(root, subKey)][name.toLower()] = Value{type, data};
}

void MemoryRegistry::setString(std::uint32_t root, const QString &subKey, const QString &name,
                               const QString &text)
{
    QByteArray bytes = cp1252::encode(text);
    bytes.append('\0');
    setValue(root, subKey, name, reg::Sz, bytes);
}

void MemoryRegistry::removeKey(std::uint32_t root, const QString &subKey)
{
    m_keys.remove(keyId(root, subKey));
}

void MemoryRegistry::clearKeys()
{
    m_keys.clear();
}

} // namespace orvia
