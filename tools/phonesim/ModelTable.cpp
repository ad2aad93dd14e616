#include "phonesim/ModelTable.h"

#include <array>

namespace orvia::phonesim {

namespace {

ModelInfo velmora(const char *code, int nameLength, int emailLength, int meCapacity, int calCapacity)
{
    const QString c = QString::fromLatin1(code);
    return ModelInfo{c,
                     Family::Velmora,
                     QStringLiteral("Velmora"),
                     QStringLiteral("Velmora ") + c + QStringLiteral(" GSM"),
                     QStringLiteral("Velmora ") + c,
                     c,
                     QStringLiteral("V 2.31"),
                     emailLength > 0,
                     nameLength,
                     40,
                     emailLength,
                     250,
                     meCapacity,
                     1,
                     calCapacity,
                     40};
}

// The family answers AT+GMM with its family word only; AT+CGMM gives the platform code the model
// is known by inside the family.
ModelInfo tarvex(const char *code, const char *platform, int meCapacity)
{
    return ModelInfo{QString::fromLatin1(code),
                     Family::Tarvex,
                     QStringLiteral("Tarvex"),
                     QStringLiteral("Tarvex GSM 9600"),
                     QStringLiteral("Tarvex Mobile"),
                     QString::fromLatin1(platform),
                     QStringLiteral("TX 1.07"),
                     false,
                     14,
                     40,
                     0,
                     250,
                     meCapacity,
                     0,
                     50,
                     28};
}

const std::array<ModelInfo, 9> &table()
{
    static const std::array<ModelInfo, 9> models = {
        velmora("K110", 18, 30, 500, 30),  velmora("K310", 18, 30, 1000, 30),
        velmora("M230", 20, 30, 1000, 30), velmora("L420", 20, 30, 2000, 30),
        velmora("D240", 20, 0, 500, 24),   tarvex("G170", "G170", 500),
        tarvex("F550", "F550", 1000),      tarvex("F660", "QX_B", 1000),
        tarvex("H280X", "F150", 2000),
    };
    return models;
}

} // namespace

const ModelInfo *findModel(const QString &code)
{
    for (const ModelInfo &m : table()) {
        if (m.code.compare(code, Qt::CaseInsensitive) == 0)
            return &m;
    }
    return nullptr;
}

QStringList modelCodes()
{
    QStringList out;
    for (const ModelInfo &m : table())
        out << m.code;
    return out;
}

} // namespace orvia::phonesim
