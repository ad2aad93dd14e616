#pragma once
// The phrase table: the readable source of the language file. One phrase a line, its English text (the
// lookup key) and its German, French, Italian and Spanish translations separated by tabs; "#" lines and
// empty lines are ignored; the first other line names the columns.
#include "data/DBLanguages.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <array>

namespace orvia {

struct Phrase
{
    int line = 0;                 // 1-based line in the source
    std::array<QString, 5> texts; // in the order of kLanguageCodes: en, de, fr, it, sp
};

struct PhraseTable
{
    QList<Phrase> phrases;
    QStringList errors; // "line N: problem"; the table is unusable unless this is empty
};

// Parses and checks the table: five non-empty columns without surrounding blanks, every text
// representable in Windows-1252, no trademark sign (the program adds it), no English text twice.
PhraseTable parsePhraseTable(const QByteArray &utf8);

// The translation table for the language file: phrase k (from 1) gets id k, its five records in
// column order.
DBLanguages buildLanguageTable(const PhraseTable &table);

} // namespace orvia
