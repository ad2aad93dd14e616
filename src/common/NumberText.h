#pragma once
// The program's text-to-number conversions, as record lines and phone replies need them: blanks around
// the number are allowed, then an optional sign, digits with an optional decimal part and exponent; a
// fraction is rounded half to even. Text that is no number throws the type-mismatch error, a number
// outside the target range the overflow error.
#include <QString>

namespace orvia {

qint16 textToInt16(const QString &text);
qint32 textToInt32(const QString &text);

// "True" or "False" in any case, or a number (non-zero is true); anything else is a type mismatch.
bool textToBoolean(const QString &text);

} // namespace orvia
