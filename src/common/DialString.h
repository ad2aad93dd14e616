#pragma once
// What of a written telephone number is the number itself. Besides the digits and a leading "+", a dial
// string holds "*" and "#" (service codes such as "*31#") and the pause letters "p" and "w" that
// handsets keep between the digits; dropping any of them would dial another number. Blanks, dashes,
// brackets and words around the number are only how it was written, except an extension ("x 89",
// "ext. 12", "Durchwahl 5"), which is dialled after a pause, and the trunk "(0)" after a country code,
// which nobody dials.
#include <QString>
#include <QStringList>

namespace orvia {

// The number as dialled: "+" and digits, "*" and "#", and each run of pause letters that follows a
// dial character and is no part of a longer word ("0301234p56", but not the "p" of "(private)"). An
// extension follows a pause "p"; a trunk "(0)" right after the country code is left out. Pauses come
// in one form: "p" for a pause ("P" and "," too), "w" for a wait ("W").
QString dialStringOf(const QString &written);

// The number as earlier readings kept it: "+" and the digits only.
QString digitsAndPlusOf(const QString &written);

// The other forms in which earlier versions read the written number and so may have put it on a phone
// (extension and trunk zero joined to the number, only digits and "+"); never the current reading.
QStringList earlierReadingsOf(const QString &written);

// A number as a phone hands it back, with its pauses in the one form the program compares: a SIM card
// may read a pause back as "P" or ",", a wait as "W". Text that is no dial string stays as it is.
QString onePauseForm(const QString &number);

// Whether the character at `k` may stand in a number sent to a side: a digit, "+" in the first place,
// "*", "#", or a pause letter after a digit, "*" or "#" (with only pause letters in between). Every
// number built of such characters reads back from the desktop as itself.
bool dialCharacterAt(const QString &number, qsizetype k);

} // namespace orvia
