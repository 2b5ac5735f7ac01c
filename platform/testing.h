// Hooks for tests: make allocations fail on demand. Only tests and the
// script runner include this header.
#pragma once

#include "platform/system/memory.h"

namespace platform::testing {

// The next `skip` allocations of `kind` succeed, then `count` fail, then all
// succeed again.
void fail_allocations(AllocKind kind, int skip, int count = 1);
void clear_allocation_faults();

}  // namespace platform::testing
