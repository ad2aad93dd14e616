#pragma once
// The kind of one datum of a contact. Stored and written as the bare number; a number read from a
// stored line is kept as it is, even one without a name here.
#include <QtGlobal>

namespace orvia {

enum class ContactKind : qint16
{
    Name = 0,
    Mobile = 1, // mobile or other number
    Home = 2,
    Work = 3,
    Email = 4,
};

inline bool isNumber(ContactKind typ)
{
    return typ == ContactKind::Mobile || typ == ContactKind::Home || typ == ContactKind::Work;
}

} // namespace orvia
