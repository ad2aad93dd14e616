#pragma once
// The settings store kept in memory, with the same addressing as the real one.
#include "platform/SettingsStore.h"
#include <QMap>

namespace orvia::test {

class MemorySettingsStore : public ISettingsStore
{
public:
    QString get(const QString &app, const QString &section, const QString &key,
                const QString &defaultValue = QString()) const override;
    void save(const QString &app, const QString &section, const QString &key, const QString &value) override;
    void remove(const QString &app, const QString &section, const QString &key) override;
    QStringList keys(const QString &app, const QString &section) const override;

    bool contains(const QString &app, const QString &section, const QString &key) const;
    // Shorthands for the program's own section ("Velmora" / "Orvia Link").
    QString get(const QString &key) const { return get(kSettingsApp, kSettingsSection, key); }
    void set(const QString &key, const QString &value) { save(kSettingsApp, kSettingsSection, key, value); }
    int writes() const { return m_writes; }

private:
    static QString sectionId(const QString &app, const QString &section) { return app + QChar(0) + section; }
    QMap<QString, QMap<QString, QString>> m_values;
    int m_writes = 0;
};

} // namespace orvia::test
