// Fuzz target: any text as the settings store must be read or refused
// cleanly, and a store that is read must write out to text that reads back
// as the same store.
#include "platform/system/registry_data.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using platform::system::RegistryData;
    std::string error;
    const auto store = RegistryData::parse(std::string_view(reinterpret_cast<const char*>(data), size), &error);
    if (!store) {
        if (error.empty()) std::abort();
        return 0;
    }
    const auto again = RegistryData::parse(store->to_text());
    if (!again || !(*again == *store)) std::abort();
    return 0;
}
