// Fuzz target: any bytes as a dialog template must be read or refused
// cleanly, and what is read must lie within the bytes given.
#include "platform/dialogs/dialog_template.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string error;
    const auto read = platform::dialogs::read_dialog_template(data, size, &error);
    if (!read) {
        if (error.empty()) std::abort();
        return 0;
    }
    // Every item takes at least its 18-byte header.
    if (read->items.size() * 18 > size) std::abort();
    for (const auto& item : read->items) {
        if (item.creationData.size() > size) std::abort();
    }
    return 0;
}
