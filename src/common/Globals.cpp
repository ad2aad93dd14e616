#include "common/Globals.h"

#include <memory>

namespace orvia {

namespace {
std::unique_ptr<Globals> &instance()
{
    static std::unique_ptr<Globals> g;
    return g;
}
} // namespace

Globals &globals()
{
    auto &g = instance();
    if (!g)
        g = std::make_unique<Globals>();
    return *g;
}

void resetGlobals()
{
    instance() = std::make_unique<Globals>();
}

} // namespace orvia
