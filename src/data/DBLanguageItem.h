#pragma once
// One translation of one phrase: the phrase number shared by all its translations, the language code and
// the text in that language.
#include <QString>

namespace orvia {

class DBLanguageItem
{
public:
    qint16 id = 0;
    QString language; // "en", "de", "fr", "it" or "sp"
    QString Text;

    // "id,language,escaped text" followed by CR LF.
    QString GetDataText() const;

    // Reads a line without its line end. Throws the invalid-argument error when the line has fewer
    // than two commas, type mismatch or overflow when the id is no 16-bit number; the record is left
    // unchanged then.
    void SetDataText(const QString &line);
};

} // namespace orvia
