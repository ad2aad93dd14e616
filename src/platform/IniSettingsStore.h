#pragma once
// The per-user settings store: one INI file per application under the XDG config folder
// ($XDG_CONFIG_HOME/<app>/<app>.ini, e.g. ~/.config/Velmora/Velmora.ini), a group per section.
// Every write is flushed at once so another process (or the next start) sees it.
#include "platform/SettingsStore.h"
#include <QHash>
#include <memory>

class QSettings;

namespace orvia {

class IniSettingsStore : public ISettingsStore
{
public:
    // `configDir` empty: the XDG config folder.
    explicit IniSettingsStore(const QString &configDir = QString());
    ~IniSettingsStore() override;

    QString get(const QString &app, const QString &section, const QString &key,
                const QString &defaultValue = QString()) const override;
    void save(const QString &app, const QString &section, const QString &key, const QString &value) override;
    void remove(const QString &app, const QString &section, const QString &key) override;
    QStringList keys(const QString &app, const QString &section) const override;

    QString filePath(const QString &app) const;

private:
    QSettings &file(const QString &app) const;
    QString m_dir;
    mutable QHash<QString, std::shared_ptr<QSettings>> m_files;
};

} // namespace orvia
