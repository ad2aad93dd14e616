#include "platform/Wildcard.h"

namespace orvia {

namespace {
// Iterative matcher with one back-tracking point per '*': linear in practice, never exponential.
bool matchPlain(QStringView p, QStringView n)
{
    qsizetype pi = 0, ni = 0, starP = -1, starN = 0;
    while (ni < n.size()) {
        if (pi < p.size() && (p[pi] == QLatin1Char('?') ||
                              (p[pi] != QLatin1Char('*') && p[pi].toCaseFolded() == n[ni].toCaseFolded()))) {
            ++pi;
            ++ni;
        } else if (pi < p.size() && p[pi] == QLatin1Char('*')) {
            starP = pi++;
            starN = ni;
        } else if (starP >= 0) {
            pi = starP + 1;
            ni = ++starN;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == QLatin1Char('*'))
        ++pi;
    return pi == p.size();
}
} // namespace

bool hasWildcards(const QString &name)
{
    return name.contains(QLatin1Char('*')) || name.contains(QLatin1Char('?'));
}

bool wildcardMatch(const QString &pattern, const QString &name)
{
    if (pattern.isEmpty() || pattern == QLatin1String("*.*"))
        return !name.isEmpty();
    if (matchPlain(pattern, name))
        return true;
    if (pattern.endsWith(QLatin1String(".*")) && !name.contains(QLatin1Char('.')))
        return matchPlain(QStringView(pattern).chopped(2), name);
    return false;
}

} // namespace orvia
