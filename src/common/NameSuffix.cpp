#include "common/NameSuffix.h"

#include "common/Globals.h"

namespace orvia {

QString StripSuffix(const QString &name)
{
    const Globals &g = globals();
    if (g.gSuffixHash.isEmpty())
        return name;
    const qsizetype p = name.indexOf(g.gSuffixHash);
    if (p < 0)
        return name;
    const QStringView tail = QStringView(name).mid(p);
    const bool hasLetter = (!g.gSuffixWork.isEmpty() && tail.contains(g.gSuffixWork)) ||
                           (!g.gSuffixHome.isEmpty() && tail.contains(g.gSuffixHome));
    return hasLetter ? name.left(p) : name;
}

qint16 SuffixType(const QString &name)
{
    const Globals &g = globals();
    if (g.gSuffixHash.isEmpty())
        return 1;
    const qsizetype p = name.indexOf(g.gSuffixHash);
    if (p < 0)
        return 1;
    // The single character after the suffix start, compared with each letter text.
    const QStringView next = QStringView(name).mid(p + g.gSuffixHash.size(), 1);
    if (next.isEmpty())
        return 1;
    if (next == g.gSuffixHome)
        return 2;
    if (next == g.gSuffixWork)
        return 3;
    return 1;
}

} // namespace orvia
