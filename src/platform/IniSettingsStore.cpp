#include "platform/IniSettingsStore.h"
#include <QDir>
#include <QSettings>
#include <QStandardPaths>

namespace orvia {

namespace {
// Keys and sections must stay one level deep: a slash or backslash would open a sub-group.
QString flat(const QString &s)
{
    QString out = s;
    out.replace(QLatin1Char('/'), QLatin1Char('_'));
    out.replace(QLatin1Char('\\'), QLatin1Char('_'));
    return out;
}

QString keyPath(const QString &section, const QString &key)
{
    return flat(section) + QLatin1Char('/') + flat(key);
}
} // namespace

IniSettingsStore::IniSettingsStore(const QString &configDir)
    : m_dir(configDir.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
                                : configDir)
{
}

IniSettingsStore::~IniSettingsStore() = default;

QString IniSettingsStore::filePath(const QString &app) const
{
    const QString a = flat(app).isEmpty() ? QStringLiteral("_") : flat(app);
    return m_dir + QLatin1Char('/') + a + QLatin1Char('/') + a + QStringLiteral(".ini");
}

QSettings &IniSettingsStore::file(const QString &app) const
{
    auto it = m_files.find(app);
    if (it == m_files.end()) {
        const QString path = filePath(app);
        QDir().mkpath(QFileInfo(path).absolutePath());
        it = m_files.insert(app, std::make_shared<QSettings>(path, QSettings::IniFormat));
    }
    return **it;
}

QString IniSettingsStore::get(const QString &app, const QString &section, const QString &key,
                              const QString &defaultValue) const
{
    QSettings &s = file(app);
    s.sync(); // pick up what another process wrote
    const QVariant v = s.value(keyPath(section, key));
    if (!v.isValid())
        return defaultValue;
    // A hand-written value with unquoted commas reads as a list: give the text back.
    if (v.metaType().id() == QMetaType::QStringList)
        return v.toStringList().join(QStringLiteral(", "));
    return v.toString();
}

void IniSettingsStore::save(const QString &app, const QString &section, const QString &key,
                            const QString &value)
{
    QSettings &s = file(app);
    s.setValue(keyPath(section, key), value);
    s.sync();
}

void IniSettingsStore::remove(const QString &app, const QString &section, const QString &key)
{
    QSettings &s = file(app);
    s.remove(keyPath(section, key));
    s.sync();
}

QStringList IniSettingsStore::keys(const QString &app, const QString &section) const
{
    QSettings &s = file(app);
    s.sync();
    s.beginGroup(flat(section));
    const QStringList k = s.childKeys();
    s.endGroup();
    return k;
}

} // namespace orvia
