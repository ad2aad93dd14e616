#include "common/GsmCharset.h"

#include "common/Globals.h"
#include "common/Windows1252.h"
#include "platform/VisibleText.h"

namespace orvia {

const std::array<GsmPair, 26> kGsmPairs = {{
    {91, 0xC4},  // Ä
    {92, 0xD6},  // Ö
    {93, 0xD1},  // Ñ
    {94, 0xDC},  // Ü
    {95, 0xA7},  // §
    {96, 0xBF},  // ¿
    {123, 0xE4}, // ä
    {124, 0xF6}, // ö
    {125, 0xF1}, // ñ
    {126, 0xFC}, // ü
    {127, 0xE0}, // à
    {1, 0xA3},   // £
    {2, 0x24},   // $
    {3, 0xA5},   // ¥
    {4, 0xE8},   // è
    {5, 0xE9},   // é
    {6, 0xF9},   // ù
    {7, 0xEC},   // ì
    {8, 0xF2},   // ò
    {9, 0xC7},   // Ç
    {11, 0xD8},  // Ø
    {12, 0xF8},  // ø
    {14, 0xC5},  // Å
    {15, 0xE5},  // å
    {30, 0xDF},  // ß
    {31, 0xC9},  // É
}};

namespace {

// The ranges in which the GSM default alphabet and ASCII agree; "$" (36) and "@" (64) are not among them.
bool passesThrough(int c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '%' && c <= '?') ||
           (c >= ' ' && c <= '#');
}

// The other side's code for c, or -1.
int lookUp(int c, bool toGsm)
{
    for (const GsmPair &p : kGsmPairs) {
        if ((toGsm ? p.ansi : p.gsm) == c)
            return toGsm ? p.gsm : p.ansi;
    }
    return -1;
}

void logFailure(QChar ch, int c)
{
    globals().gLog.log(QStringLiteral("Could not translate char ") + visibleText(QString(ch)) +
                           QStringLiteral(" #") + QString::number(c) +
                           QStringLiteral(" into a valid GSM charset entry."),
                       true);
}

} // namespace

QString ConvertGsmCharset(const QString &text, bool toGsm)
{
    QString out;
    out.reserve(text.size());
    for (const QChar ch : text) {
        const int ansi = charToWindows1252(ch);
        if (ansi < 0) {
            // Not in the code page at all: taking it as "?" would put a wrong name on the SIM.
            logFailure(ch, ch.unicode());
            return QString();
        }
        if (passesThrough(ansi)) {
            out += ch;
            continue;
        }
        const int other = lookUp(ansi, toGsm);
        if (other < 0) {
            logFailure(ch, ansi);
            return QString();
        }
        out +=
            QChar(char16_t(other)); // every table character is Latin-1, so its ANSI code is its Unicode value
    }
    return out;
}

} // namespace orvia
