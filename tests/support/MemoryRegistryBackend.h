#pragma once
// The in-memory registry for tests: fill keys and values, then check that every opened key was closed.
#include "platform/MemoryRegistry.h"

namespace orvia::test {

using MemoryRegistryBackend = orvia::MemoryRegistry;

} // namespace orvia::test
