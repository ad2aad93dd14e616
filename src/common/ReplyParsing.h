#pragma once
// Pure procedures that cut phone replies and one-line record texts into lines and fields. Positions are
// 1-based character positions, as the callers count them; comparisons are exact.
#include <QString>
#include <QStringList>

namespace orvia {

// The complete lines of a reply. Element 0 is always empty, so the first line is element 1. Lines end at
// CR (an LF right after it belongs to the line end); text after the last CR is not returned.
QStringList SplitLines(const QString &text);

// Position of the n-th occurrence of `sep`, never looking at the text's first character; for "," a
// comma inside double quotes does not count. 0 when there are fewer than n, -1 for n = 0. Throws the
// overflow error when the position does not fit 16 bits.
qint16 FindSeparator(const QString &text, const QString &sep, qint16 n);

// The number that starts the field after the n-th comma (n = 0, or fewer commas: the text's start). The
// field's first character and every following one with a code of at least '0' make the number.
// Throws type mismatch / overflow when that run is no 16-bit number.
qint16 GetIntField(const QString &text, qint16 n);

// The text of the quoted field after the n-th comma (n >= 1): from the second character after that comma
// up to the next double quote. Throws the invalid-argument error when no double quote follows.
QString GetQuotedField(const QString &text, qint16 n);

// Removes CR and LF from both ends of `s` in place and returns the result.
QString TrimCrLf(QString &s);

} // namespace orvia
