#pragma once
// The contacts placement's look-ups as their rules are worded, walking the stores: the reference the
// policy's look-up tables are checked against.
#include "data/DBPhonebook.h"
#include "data/DBPhonebookItem.h"

namespace orvia::test::plainwalk {

// Whether the contact `id` of the additions, or the side's contact named `name` (its first 100
// characters), has a number.
inline bool hasNumber(const DBPhonebook &res, const DBPhonebook &side, qint16 id, const QString &name)
{
    const auto isNumber = [](ContactKind typ) { return qint16(typ) >= 1 && qint16(typ) <= 3; };
    for (qint16 i = 0; i < res.count(); ++i) {
        const auto r = res.GetItem(i);
        if (r->id == id && isNumber(r->typ))
            return true;
    }
    const auto nameRecord = side.GetItemByDataType(name, ContactKind::Name, 100);
    if (!nameRecord)
        return false;
    for (qint16 i = 0; i < side.count(); ++i) {
        const auto r = side.GetItem(i);
        if (r->id == nameRecord->id && isNumber(r->typ))
            return true;
    }
    return false;
}

} // namespace orvia::test::plainwalk
