#pragma once
// The kind suffix of a simple phonebook's entry names: "Anna#H" holds Anna's home number, "Anna#W" her
// work number, "Anna" a mobile or other one. The suffix texts are the program's global state (Globals).
#include <QString>
#include <QtGlobal>

namespace orvia {

// The name without its suffix: cut at the first suffix start when a home or work letter follows it anywhere.
QString StripSuffix(const QString &name);

// The number kind the suffix stands for: 2 home, 3 work, 1 for anything else; only the character directly
// after the first suffix start counts.
qint16 SuffixType(const QString &name);

} // namespace orvia
