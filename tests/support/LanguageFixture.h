#pragma once
// Loads the language file built next to the test binaries, so tests see the program's real texts.
#include "common/Globals.h"
#include <QString>

namespace orvia::test {

// Resets the global state and loads lang.dbl in `language` ("en", "de", ...); false when missing.
inline bool loadBuiltLanguage(const QString &language = QStringLiteral("en"))
{
    resetGlobals();
    Globals &g = globals();
    if (!g.gLanguages.Load(qEnvironmentVariable("ORVIA_BIN_DIR") + QStringLiteral("/lang.dbl"), true))
        return false;
    g.gLanguage = language;
    g.gMeetingWords = g.gLanguages.GetAllTranslations(QStringLiteral("Meeting"));
    g.gCallWords = g.gLanguages.GetAllTranslations(QStringLiteral("Call"));
    g.gBirthdayWords = g.gLanguages.GetAllTranslations(QStringLiteral("Birthday"));
    return true;
}

} // namespace orvia::test
