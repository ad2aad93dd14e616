#pragma once
// Conversion of names between the program's text and the SIM card's GSM 03.38 default alphabet.
#include <QString>
#include <QtGlobal>
#include <array>

namespace orvia {

// One character that the GSM default alphabet holds at another code than the ANSI code page.
struct GsmPair
{
    qint16 gsm;  // GSM 03.38 default-alphabet code
    qint16 ansi; // code of the same character in Windows-1252 (equal to its Unicode value)
};

// The pairs in their fixed order; a look-up takes the first equal entry. Constant for the program's life.
extern const std::array<GsmPair, 26> kGsmPairs;

// toGsm true: text to GSM codes (each code carried as the character with that value); toGsm false: GSM
// codes back to text. Returns "" when any character cannot be converted, after logging the first one;
// a character the Windows-1252 code page lacks is never convertible.
QString ConvertGsmCharset(const QString &text, bool toGsm);

} // namespace orvia
