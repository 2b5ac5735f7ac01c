// Hooks for tests: make allocations and settings-store writes fail on
// demand. Only tests and the script runner include this header.
#pragma once

#include "platform/system/memory.h"

namespace platform::testing {

// The next `skip` allocations of `kind` succeed, then `count` fail, then all
// succeed again.
void fail_allocations(AllocKind kind, int skip, int count = 1);
void clear_allocation_faults();

// Faults of the settings store's writes, until set back to None.
// WriteFails: the new store cannot be written, as when the disk is full.
// ExitBeforeRename: the process ends with kRegistryFaultExitCode once the
// new store is written and flushed but before it replaces the old one, as
// when the program is killed at that moment.
enum class RegistryFault { None, WriteFails, ExitBeforeRename };
inline constexpr int kRegistryFaultExitCode = 86;
void set_registry_fault(RegistryFault fault);

}  // namespace platform::testing
