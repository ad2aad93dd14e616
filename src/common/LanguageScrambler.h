#pragma once
// The byte scrambling of the language file: each text byte is XORed with the byte before it and a
// constant key, and a check byte (the XOR of all text bytes) is appended. It keeps the file from being
// read or edited casually and lets a damaged file be told apart.
#include <QByteArray>
#include <QString>

namespace orvia {

inline constexpr quint8 kLanguageScrambleKey = 0x2E;

// n plain bytes give n + 1 scrambled bytes: b(i) = a(i) ^ a(i-1) ^ key (a(-1) = 0), then the check byte.
QByteArray ScrambleBytes(const QByteArray &plain);

// Undoes ScrambleBytes. `plain` always receives the decoded bytes (all but the last input byte); the
// result is true only when the check byte matches. An empty input has no check byte and gives false.
bool UnscrambleToBytes(const QByteArray &scrambled, QByteArray &plain);

// The file form of a text: its Windows-1252 bytes, scrambled. Characters the code page cannot hold
// become '?'.
QByteArray ScrambleText(const QString &text);

// Decodes the file form into `text` (Windows-1252); true when the check byte matches.
bool UnscrambleBytes(const QByteArray &bytes, QString &text);

} // namespace orvia
