#include "endpoints/PhoneModels.h"

#include <array>

namespace orvia {

namespace {

struct PhoneModel
{
    const char *code; // model code, family word, or second-family description
    ModelFamily family;
    const char *marker; // second-family descriptions: the text of the reply line that names it; none
                        // on a features row, whose limits and rules below apply
    int picture;        // 1..9; 0: none
    qint16 emailLen, nameLen, calBodyLen, calCapacity;
    bool extendedPhonebook;
    Placement placement;
    PerDayRule perDay;
    bool assignsSlots;
};

constexpr auto V = ModelFamily::Velmora;
constexpr auto T = ModelFamily::Tarvex;
constexpr auto Handset = Placement::Handset;
constexpr auto Suffix = Placement::Suffix;
constexpr auto NoPlacement = Placement::None;

// clang-format off
constexpr std::array<PhoneModel, 10> kModels = {{
    // Features rows, in the order a model reply is searched for their codes.
    // code     family marker   pic email name body cap ext    placement    per day                   slots
    {"K110",    V,     nullptr, 1,  30,   18,  40,  30, true,  Handset,     PerDayRule::FiveADay,      false},
    {"D240",    V,     nullptr, 3,  0,    20,  40,  24, false, Suffix,      PerDayRule::FiveADay,      false},
    {"M230",    V,     nullptr, 8,  30,   20,  40,  30, true,  Handset,     PerDayRule::AdditionsOnly, false},
    {"K310",    V,     nullptr, 2,  30,   18,  40,  30, true,  Handset,     PerDayRule::AdditionsOnly, false},
    {"L420",    V,     nullptr, 9,  30,   20,  40,  30, true,  Handset,     PerDayRule::AdditionsOnly, false},
    {"Tarvex",  T,     nullptr, 0,  0,    14,  28,  50, false, Suffix,      PerDayRule::None,          true},
    // Second-family descriptions, in the order their markers are tested.
    {"G170",    T,     "G170",  4,  0,    0,   0,   0,  false, NoPlacement, PerDayRule::None,          false},
    {"F550",    T,     "F550",  6,  0,    0,   0,   0,  false, NoPlacement, PerDayRule::None,          false},
    {"F660",    T,     "QX_B",  5,  0,    0,   0,   0,  false, NoPlacement, PerDayRule::None,          false},
    {"H280X",   T,     "F150",  7,  0,    0,   0,   0,  false, NoPlacement, PerDayRule::None,          false},
}};
// clang-format on

bool isFeaturesRow(const PhoneModel &m)
{
    return m.marker == nullptr;
}

const PhoneModel *featuresModel(const QString &name)
{
    for (const PhoneModel &m : kModels) {
        if (isFeaturesRow(m) && name == QLatin1String(m.code))
            return &m;
    }
    return nullptr;
}

const PhoneModel *searchModelIn(const QString &line)
{
    for (const PhoneModel &m : kModels) {
        if (isFeaturesRow(m) && line.contains(QLatin1String(m.code), Qt::CaseSensitive))
            return &m;
    }
    return nullptr;
}

std::optional<ModelFamily> familyOfRow(const PhoneModel *m)
{
    if (!m)
        return std::nullopt;
    return m->family;
}

} // namespace

SideRules sideRules(const QString &featuresName)
{
    SideRules rules;
    if (featuresName == kDesktopSide) {
        rules.phone = false;
    } else if (const PhoneModel *m = featuresModel(featuresName)) {
        rules.placement = m->placement;
        rules.perDay = m->perDay;
        rules.assignsSlots = m->assignsSlots;
        rules.simKeepsNames = m->family == ModelFamily::Tarvex;
    }
    return rules;
}

std::optional<ModelLimits> modelLimits(const QString &name)
{
    const PhoneModel *m = featuresModel(name);
    if (!m)
        return std::nullopt;
    return ModelLimits{QLatin1String(m->code), m->emailLen,    m->nameLen,
                       m->calBodyLen,          m->calCapacity, m->extendedPhonebook};
}

bool hasExtendedPhonebook(const QString &model)
{
    const PhoneModel *m = featuresModel(model);
    return m && m->extendedPhonebook;
}

std::optional<ModelFamily> familyOf(const QString &name)
{
    return familyOfRow(featuresModel(name));
}

bool hasMemoryDigit(const QString &name)
{
    return familyOf(name) == ModelFamily::Tarvex;
}

QString velmoraModelIn(const QString &line)
{
    const PhoneModel *m = searchModelIn(line);
    return m ? QString(QLatin1String(m->code)) : QString();
}

std::optional<ModelFamily> driverFamilyOf(const QString &modelReply)
{
    return familyOfRow(searchModelIn(modelReply));
}

QString tarvexDescriptionOf(const QString &line)
{
    for (const PhoneModel &m : kModels) {
        if (m.marker && line.contains(QLatin1String(m.marker), Qt::CaseSensitive))
            return QLatin1String(m.code);
    }
    return line;
}

int modelPicture(const QString &description)
{
    for (const PhoneModel &m : kModels) {
        if (m.picture != 0 && description == QLatin1String(m.code))
            return m.picture;
    }
    return 0;
}

QString modelOfPicture(int picture)
{
    for (const PhoneModel &m : kModels) {
        if (picture != 0 && m.picture == picture)
            return QLatin1String(m.code);
    }
    return {};
}

qint16 kindFromCategory(int digit)
{
    switch (digit) {
    case 0:
        return 1;
    case 1:
        return 3;
    case 2:
        return 2;
    case 3:
        return 4;
    default:
        return static_cast<qint16>(digit);
    }
}

int categoryFromKind(qint16 kind)
{
    switch (kind) {
    case 1:
        return 0;
    case 2:
        return 2;
    case 3:
        return 1;
    case 4:
        return 3;
    default:
        return kind;
    }
}

} // namespace orvia
