#pragma once
// Translation of the texts the user sees: every text is written in English in the program and looked up
// in the translation table for the current language before it is shown.
#include <QString>

namespace orvia {

class ISystemServices;

// Language codes of the translation table.
inline constexpr char16_t kLanguageCodes[5][3] = {u"en", u"de", u"fr", u"it", u"sp"};

// Marks the trademark words: every "Outlook", "Microsoft" and "Velmora" gets "®" after it.
QString MarkTrademarks(QString text);

// The text to show for an English text: its translation for the current language (between underscores
// when there is none), with the trademark words marked. An empty text stays empty.
QString Translate(const QString &text);

// The language code for a language's English name, compared in lower case: "english" "en", "german"
// "de", "french" "fr", "italian" "it", "spanish" "sp"; any other name "en".
QString LanguageCodeForName(const QString &languageName);

// Sets the current language from the user's locale and rebuilds the word lists for "Meeting", "Call"
// and "Birthday" (every language's word, whatever the current language).
void InitLanguageFromLocale(const ISystemServices &system);

} // namespace orvia
