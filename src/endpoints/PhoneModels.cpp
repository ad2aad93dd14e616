#include "endpoints/PhoneModels.h"

#include <array>

namespace orvia {

namespace {

const std::array<ModelLimits, 6> kModels = {{
    {QStringLiteral("K110"), 30, 18, 40, 30, true},
    {QStringLiteral("K310"), 30, 18, 40, 30, true},
    {QStringLiteral("M230"), 30, 20, 40, 30, true},
    {QStringLiteral("L420"), 30, 20, 40, 30, true},
    {QStringLiteral("D240"), 0, 20, 40, 24, false},
    {kTarvexFamily, 0, 14, 28, 50, false},
}};

// The order in which a model reply is searched: the first code found wins.
const std::array<const char *, 6> kVelmoraSearchOrder = {"K110", "D240", "M230", "K310", "L420", "Tarvex"};

struct DescriptionMarker
{
    const char *marker;
    const char *description;
};
const std::array<DescriptionMarker, 4> kTarvexMarkers = {{
    {"G170", "G170"},
    {"F550", "F550"},
    {"QX_B", "F660"},
    {"F150", "H280X"},
}};

} // namespace

std::optional<ModelLimits> modelLimits(const QString &name)
{
    for (const ModelLimits &m : kModels) {
        if (m.name == name)
            return m;
    }
    return std::nullopt;
}

bool hasExtendedPhonebook(const QString &model)
{
    const auto m = modelLimits(model);
    return m && m->extendedPhonebook;
}

QString velmoraModelIn(const QString &line)
{
    for (const char *code : kVelmoraSearchOrder) {
        if (line.contains(QLatin1String(code), Qt::CaseSensitive))
            return QLatin1String(code);
    }
    return QString();
}

QString tarvexDescriptionOf(const QString &line)
{
    for (const DescriptionMarker &m : kTarvexMarkers) {
        if (line.contains(QLatin1String(m.marker), Qt::CaseSensitive))
            return QLatin1String(m.description);
    }
    return line;
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
