#pragma once
// What of a written telephone number is the number itself. Besides the digits and a leading "+", a dial
// string holds "*" and "#" (service codes such as "*31#") and the pause letters "p" and "w" that
// handsets keep between the digits; dropping any of them would dial another number. Blanks, dashes,
// brackets and words around the number are only how it was written.
#include <QString>

namespace orvia {

// The number as dialled: "+" and digits, "*" and "#", and each run of pause letters that follows a
// dial character and is no part of a longer word ("0301234p56", but not the "p" of "(private)").
QString dialStringOf(const QString &written);

// The number as earlier readings kept it: "+" and the digits only.
QString digitsAndPlusOf(const QString &written);

// Whether the character at `k` may stand in a number sent to a side: a digit, "+" in the first place,
// "*", "#", or a pause letter after a digit, "*" or "#" (with only pause letters in between). Every
// number built of such characters reads back from the desktop as itself.
bool dialCharacterAt(const QString &number, qsizetype k);

} // namespace orvia
