#include "common/Translation.h"

#include "common/Globals.h"
#include "platform/SystemServices.h"

namespace orvia {

QString MarkTrademarks(QString text)
{
    text.replace(QStringLiteral("Outlook"), QStringLiteral("Outlook\u00AE"));
    text.replace(QStringLiteral("Microsoft"), QStringLiteral("Microsoft\u00AE"));
    text.replace(QStringLiteral("Velmora"), QStringLiteral("Velmora\u00AE"));
    return text;
}

QString Translate(const QString &text)
{
    // An empty caption has nothing to translate; the table's fallback would show "__".
    if (text.isEmpty())
        return text;
    const Globals &g = globals();
    return MarkTrademarks(g.gLanguages.Tran(text, g.gLanguage));
}

QString LanguageCodeForName(const QString &languageName)
{
    const QString name = languageName.toLower();
    if (name == u"german")
        return QStringLiteral("de");
    if (name == u"french")
        return QStringLiteral("fr");
    if (name == u"italian")
        return QStringLiteral("it");
    if (name == u"spanish")
        return QStringLiteral("sp");
    return QStringLiteral("en");
}

void InitLanguageFromLocale(const ISystemServices &system)
{
    Globals &g = globals();
    const QString name = system.userLanguageName().toLower();
    g.gLog.log(QStringLiteral("Local language is: ") + name);
    g.gLanguage = LanguageCodeForName(name);
    g.gMeetingWords = g.gLanguages.GetAllTranslations(QStringLiteral("Meeting"));
    g.gCallWords = g.gLanguages.GetAllTranslations(QStringLiteral("Call"));
    g.gBirthdayWords = g.gLanguages.GetAllTranslations(QStringLiteral("Birthday"));
}

} // namespace orvia
