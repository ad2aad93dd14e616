#pragma once
// The number of the runtime error a call throws, or 0 when it returns normally.
#include "platform/RuntimeError.h"
#include <functional>

namespace orvia::test {

inline int errorOf(const std::function<void()> &f)
{
    try {
        f();
    } catch (const RuntimeError &e) {
        return e.number();
    }
    return 0;
}

} // namespace orvia::test
