#pragma once
// The handsets the simulator can play: what each answers to the identification commands and what
// it can hold. Quirks live here as data, not as checks scattered through the command code.
#include <QString>
#include <QStringList>

namespace orvia::phonesim {

enum class Family
{
    Velmora,
    Tarvex
};

struct ModelInfo
{
    QString code; // K110, ..., H280X
    Family family;
    QString maker;          // AT+CGMI
    QString identLine;      // ATI / ATZI
    QString gmmLine;        // AT+GMM
    QString cgmmLine;       // AT+CGMM
    QString revision;       // AT+CGMR
    bool extendedPhonebook; // category digit after the name
    int nameLength;
    int numberLength;
    int emailLength; // category 3 data; 0 when the model keeps no e-mail
    int simCapacity;
    int meCapacity;
    int calendarFirst; // lowest calendar index
    int calendarCapacity;
    int calendarTextLength;
};

// Case-insensitive; nullptr for an unknown code.
const ModelInfo *findModel(const QString &code);
QStringList modelCodes();

} // namespace orvia::phonesim
