#pragma once
// What the setup window's language and desktop-folder pages do, without widgets: which list entry
// stands for which language code, which folders the lists show and preselect, and what a choice
// stores in the settings.
#include <QString>
#include <QStringList>

namespace orvia {

class OutlookControl;
class ISettingsStore;
class ISystemServices;

namespace setup {

enum class FolderKind
{
    Calendar = 1,
    Contacts = 2
};

// The language list's entries, in order; entry 0 ("System") follows the user's locale.
QStringList languageEntries();
// The entry (1..5) that stands for a language code, or -1.
int languageEntryFor(const QString &code);
// A choice in the language list: stores its code in "language" and returns it. The system entry
// stores "local" and sets the current language from the locale at once; the others leave the
// current language as it is until the next start.
QString chooseLanguage(int entry, ISettingsStore &settings, const ISystemServices &system);

// The names of the folders of one kind, in the order of the desktop access's folder lists.
QStringList folderNames(const OutlookControl &ol, FolderKind kind);
// The list entry to preselect: the saved folder when it still exists, else the folder in use, else
// the first position; looked up by name among `entries`, by position when no entry has that name.
// Throws a RuntimeError when there is no folder to select.
int preselectedEntry(const OutlookControl &ol, FolderKind kind, const QString &saved,
                     const QStringList &entries);
// A choice in a folder list: the folder of that name (the last of equal names) is put in use, and the
// id of the folder then in use is stored ("outlook_contacts" / "outlook_calendar").
void chooseFolder(OutlookControl &ol, FolderKind kind, const QString &name, ISettingsStore &settings);
QString folderSettingKey(FolderKind kind);

} // namespace setup
} // namespace orvia
