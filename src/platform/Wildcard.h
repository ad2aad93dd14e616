#pragma once
// File-name wildcards as the classic file functions read them: '*' any run, '?' one character,
// letters compared without regard to case, "*.*" every name, and "name.*" also the bare "name".
#include <QString>

namespace orvia {

bool hasWildcards(const QString &name);
bool wildcardMatch(const QString &pattern, const QString &name);

} // namespace orvia
