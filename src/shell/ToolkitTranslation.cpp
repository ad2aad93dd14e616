#include "shell/ToolkitTranslation.h"
#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace orvia {

ToolkitTranslation::ToolkitTranslation() = default;

ToolkitTranslation::~ToolkitTranslation()
{
    drop();
}

QString ToolkitTranslation::localeFor(const QString &languageCode)
{
    if (languageCode == QLatin1String("de") || languageCode == QLatin1String("fr") ||
        languageCode == QLatin1String("it"))
        return languageCode;
    if (languageCode == QLatin1String("sp"))
        return QStringLiteral("es");
    return {};
}

bool ToolkitTranslation::follow(const QString &languageCode)
{
    drop();
    const QString locale = localeFor(languageCode);
    if (locale.isEmpty())
        return languageCode == QLatin1String("en");
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QStringLiteral("qtbase_") + locale,
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    QCoreApplication::installTranslator(translator.get());
    m_translator = std::move(translator);
    return true;
}

void ToolkitTranslation::drop()
{
    if (!m_translator)
        return;
    QCoreApplication::removeTranslator(m_translator.get());
    m_translator.reset();
}

} // namespace orvia
