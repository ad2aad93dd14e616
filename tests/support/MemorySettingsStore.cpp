#include "support/MemorySettingsStore.h"

namespace orvia::test {

QString MemorySettingsStore::get(const QString &app, const QString &section, const QString &key,
                                 const QString &defaultValue) const
{
    const auto s = m_values.constFind(sectionId(app, section));
    if (s == m_values.constEnd())
        return defaultValue;
    const auto v = s->constFind(key);
    return v == s->constEnd() ? defaultValue : *v;
}

void MemorySettingsStore::save(const QString &app, const QString &section, const QString &key,
                               const QString &value)
{
    m_values[sectionId(app, section)][key] = value;
    ++m_writes;
}

void MemorySettingsStore::remove(const QString &app, const QString &section, const QString &key)
{
    auto s = m_values.find(sectionId(app, section));
    if (s == m_values.end())
        return;
    s->remove(key);
    if (s->isEmpty())
        m_values.erase(s);
    ++m_writes;
}

QStringList MemorySettingsStore::keys(const QString &app, const QString &section) const
{
    return m_values.value(sectionId(app, section)).keys();
}

bool MemorySettingsStore::contains(const QString &app, const QString &section, const QString &key) const
{
    const auto s = m_values.constFind(sectionId(app, section));
    return s != m_values.constEnd() && s->contains(key);
}

} // namespace orvia::test
