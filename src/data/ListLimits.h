#pragma once
// Bounds shared by the lists and stores: their counts and indices are 16-bit, so a list holds at most
// 32767 elements; going past that is an overflow, never a wrap.
#include "platform/RuntimeError.h"

#include <QtGlobal>
#include <limits>

namespace orvia {

inline constexpr qsizetype kMaxListElements = std::numeric_limits<qint16>::max();

inline void checkListRoom(qsizetype size, qsizetype more)
{
    if (size + more > kMaxListElements)
        throwError(ErrOverflow);
}

inline void checkListIndex(qint16 index, qsizetype size)
{
    if (index < 0 || index >= size)
        throwError(ErrSubscript);
}

} // namespace orvia
