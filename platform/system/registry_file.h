// Platform internal: the file behind the registry. The store is
// DIR/registry.txt, with DIR $XDG_CONFIG_HOME/mapfolio (when that is an
// absolute path) or $HOME/.config/mapfolio. Readers take the file as it is:
// writes replace it by rename, so a reader sees a whole old or a whole new
// store. Writers hold an exclusive lock on DIR/registry.lock, read the store
// again, write a temporary file in DIR, flush it to disk, rename it over the
// store and flush the directory.
#pragma once

#include "platform/system/registry_data.h"

#include <functional>
#include <memory>
#include <string>

namespace platform::system {

// Empty when neither XDG_CONFIG_HOME nor a home directory can be found.
std::string registry_directory();
std::string registry_file_path();

// The store as read: data is never null; a missing file is an empty store,
// and so is one that cannot be read or parsed, which says so in unreadable.
// The same data is handed out again while the file stays as it was.
struct StoreRead {
    std::shared_ptr<const RegistryData> data;
    bool unreadable = false;
};
StoreRead read_registry();

// Runs change on the store under the lock, after reading it again. When
// change returns ERROR_SUCCESS and says it changed something, the new store
// is written; a store that could not be parsed is then kept beside it as
// registry.txt.bad (or .bad.2, .bad.3 ... when that name is taken). Returns change's result, or ERROR_CANTWRITE when the
// store could not be written (it is then as it was).
using RegistryChange = std::function<LONG(RegistryData& data, bool& changed)>;
LONG change_registry(const RegistryChange& change);

}  // namespace platform::system

namespace platform::faults {

// Faults of the settings store's writes, for tests, until set back to None.
// WriteFails: the new store cannot be written, as when the disk is full.
// ExitBeforeRename: the process ends with kRegistryFaultExitCode once the
// new store is written and flushed but before it replaces the old one, as
// when the program is killed at that moment.
enum class RegistryFault { None, WriteFails, ExitBeforeRename };
inline constexpr int kRegistryFaultExitCode = 86;
void set_registry_fault(RegistryFault fault);

}  // namespace platform::faults
