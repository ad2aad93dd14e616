#pragma once
// The program's one home of global state. Everything the program keeps globally lives in this struct,
// reached through globals(); tests start from a fresh state with resetGlobals().
#include "data/DBLanguages.h"
#include "data/MrLog.h"
#include "data/StringArray.h"

#include <QString>

namespace orvia {

struct Globals
{
    // Log and details text.
    MrLog gLog;       // created with the state, so it exists before anything can log
    QString gDetails; // the current run's notices, one per CR LF ended line

    // Desktop store.
    QString gOutlookVersion; // version text of the desktop store, shown in the about window

    // Translation: the table loaded from the language file, the current language code, and every
    // language's word for "Meeting", "Call" and "Birthday".
    DBLanguages gLanguages;
    QString gLanguage = QStringLiteral("en");
    StringArray gMeetingWords;
    StringArray gCallWords;
    StringArray gBirthdayWords;

    // Contact-name suffix texts of the simple phonebooks (the GSM tables are constants beside their
    // conversion). The contacts policy sets them when it is created.
    QString gSuffixHash = QStringLiteral("#");
    QString gSuffixHome = QStringLiteral("H");
    QString gSuffixWork = QStringLiteral("W");

    // The calendar keyword lists are the translation word lists above.
};

Globals &globals();

// Replaces the whole state with a fresh one (a new log with its banner, empty texts).
void resetGlobals();

} // namespace orvia
