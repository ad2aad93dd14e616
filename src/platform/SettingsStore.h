#pragma once
// The per-user settings store, addressed by application, section and key.
#include <QString>
#include <QStringList>

namespace orvia {

inline const QString kSettingsApp = QStringLiteral("Velmora");
inline const QString kSettingsSection = QStringLiteral("Orvia Link");
inline const QString kSettingsCommon = QStringLiteral("Common");

class ISettingsStore
{
public:
    virtual ~ISettingsStore() = default;
    virtual QString get(const QString &app, const QString &section, const QString &key,
                        const QString &defaultValue = QString()) const = 0;
    virtual void save(const QString &app, const QString &section, const QString &key,
                      const QString &value) = 0;
    virtual void remove(const QString &app, const QString &section, const QString &key) = 0;
    virtual QStringList keys(const QString &app, const QString &section) const = 0;
};

} // namespace orvia
