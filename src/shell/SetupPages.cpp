#include "shell/SetupPages.h"
#include "common/Globals.h"
#include "common/Translation.h"
#include "endpoints/OutlookControl.h"
#include "platform/RuntimeError.h"
#include "platform/SettingsStore.h"
#include "platform/SystemServices.h"

namespace orvia::setup {

namespace {

struct LanguageEntry
{
    const char16_t *text;
    const char16_t *code;
};
constexpr LanguageEntry kLanguages[] = {{u"System", u"local"}, {u"English", u"en"}, {u"Fran\u00e7ais", u"fr"},
                                        {u"Italiano", u"it"},  {u"Deutsch", u"de"}, {u"Espa\u00f1ol", u"sp"}};
constexpr int kLanguageCount = int(sizeof kLanguages / sizeof kLanguages[0]);

QString folderInUse(const OutlookControl &ol, FolderKind kind)
{
    return kind == FolderKind::Contacts ? ol.getContactsFolderID() : ol.getCalendarFolderID();
}

qint16 folderCount(const OutlookControl &ol)
{
    if (!ol.FoldersIDs || !ol.FoldersNames || !ol.FoldersTypes)
        ol.throwFoldersUnknown();
    return ol.FoldersIDs->count();
}

} // namespace

QStringList languageEntries()
{
    QStringList out;
    for (const LanguageEntry &e : kLanguages)
        out << QString::fromUtf16(e.text);
    return out;
}

int languageEntryFor(const QString &code)
{
    for (int i = 1; i < kLanguageCount; ++i)
        if (code == QString::fromUtf16(kLanguages[i].code))
            return i;
    return -1;
}

QString chooseLanguage(int entry, ISettingsStore &settings, const ISystemServices &system)
{
    if (entry < 0 || entry >= kLanguageCount)
        throwError(ErrInvalidPropertyValue);
    const QString code = QString::fromUtf16(kLanguages[entry].code);
    if (entry == 0)
        InitLanguageFromLocale(system);
    settings.save(kSettingsApp, kSettingsSection, QStringLiteral("language"), code);
    return code;
}

QString folderSettingKey(FolderKind kind)
{
    return kind == FolderKind::Contacts ? QStringLiteral("outlook_contacts")
                                        : QStringLiteral("outlook_calendar");
}

QStringList folderNames(const OutlookControl &ol, FolderKind kind)
{
    QStringList out;
    const qint16 n = folderCount(ol);
    for (qint16 i = 0; i < n; ++i)
        if (ol.FoldersTypes->GetItem(i) == qint16(kind))
            out << ol.FoldersNames->GetItem(i);
    return out;
}

int preselectedEntry(const OutlookControl &ol, FolderKind kind, const QString &saved,
                     const QStringList &entries)
{
    const qint16 n = folderCount(ol);
    qint16 position = -1;
    if (saved != QLatin1String("default")) {
        for (qint16 i = 0; i < n && position < 0; ++i)
            if (ol.FoldersIDs->GetItem(i) == saved)
                position = i;
    }
    if (position < 0) {
        const QString inUse = folderInUse(ol, kind);
        for (qint16 i = 0; i < n && position < 0; ++i)
            if (ol.FoldersIDs->GetItem(i) == inUse)
                position = i;
    }
    if (position < 0)
        position = 0;
    const QString name = ol.FoldersNames->GetItem(position); // no folder at all: subscript error
    const int entry = int(entries.indexOf(name));
    if (entry >= 0)
        return entry;
    if (position >= entries.size())
        throwError(ErrInvalidPropertyValue);
    return position;
}

void chooseFolder(OutlookControl &ol, FolderKind kind, const QString &name, ISettingsStore &settings)
{
    const qint16 n = folderCount(ol);
    qint16 position = 0;
    for (qint16 i = 0; i < n; ++i)
        if (ol.FoldersNames->GetItem(i) == name)
            position = i;
    const QString id = ol.FoldersIDs->GetItem(position);
    if (kind == FolderKind::Contacts)
        ol.setContactsFolder(id);
    else
        ol.setCalendarFolder(id);
    settings.save(kSettingsApp, kSettingsSection, folderSettingKey(kind), folderInUse(ol, kind));
}

} // namespace orvia::setup
