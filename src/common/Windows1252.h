#pragma once
// The Windows-1252 ("ANSI") code page per character: the byte form of list codes, the language file and
// text sent to the phone. Built on the platform's codec so the program has one table.
#include <QByteArray>
#include <QChar>
#include <QString>

namespace orvia {

// The character of one code-page byte. The five bytes the code page leaves undefined map to the C1
// control of the same number, so every byte survives a round trip.
QChar windows1252ToChar(quint8 byte);

// The code-page byte of a character, or -1 when the code page cannot hold it.
int charToWindows1252(QChar c);

// True when the code page holds every character of the text, so it crosses the wire unchanged.
bool fitsWindows1252(const QString &text);

QString fromWindows1252(const QByteArray &bytes);

// Characters the code page cannot hold become '?'.
QByteArray toWindows1252(const QString &text);

} // namespace orvia
