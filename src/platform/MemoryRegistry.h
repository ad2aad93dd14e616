#pragma once
// A registry held in memory: keys and values addressed without regard to case, handles counted so
// that a caller which forgets to close a key shows up. The system backend and the tests build on it.
#include "platform/RegistryBackend.h"
#include <QMap>

namespace orvia {

class MemoryRegistry : public IRegistryBackend
{
public:
    long openKey(std::uint32_t root, const QString &subKey, std::uint32_t access,
                 std::uint32_t &hKey) override;
    long queryValue(std::uint32_t hKey, const QString &name, std::uint32_t &type, QByteArray &data) override;
    long closeKey(std::uint32_t hKey) override;

    void addKey(std::uint32_t root, const QString &subKey);
    void setValue(std::uint32_t root, const QString &subKey, const QString &name, std::uint32_t type,
                  const QByteArray &data);
    // A REG_SZ value: the text as Windows-1252 bytes with its terminating NUL.
    void setString(std::uint32_t root, const QString &subKey, const QString &name, const QString &text);
    void removeKey(std::uint32_t root, const QString &subKey);
    void clearKeys();

    int openHandles() const { return int(m_handles.size()); }
    int opens() const { return m_opens; }

private:
    struct Value
    {
        std::uint32_t type = reg::None;
        QByteArray data;
    };
    static bool validRoot(std::uint32_t root);
    static QString keyId(std::uint32_t root, const QString &subKey);
    QMap<QString, QMap<QString, Value>> m_keys; // key id -> lower-cased value name -> value
    QMap<std::uint32_t, QString> m_handles;     // open handle -> key id
    std::uint32_t m_nextHandle = 0x1000;
    int m_opens = 0;
};

} // namespace orvia
