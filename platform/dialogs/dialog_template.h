// Platform internal: a dialog template read into plain values. The reader
// trusts nothing in the bytes: every field is read within the size given,
// strings must end inside it, and anything this platform does not support
// is refused with the reason.
#pragma once

#include "platform/user/user_types.h"

#include <optional>
#include <string>
#include <vector>

namespace platform::dialogs {

struct DialogItem {
    DWORD style = 0;
    DWORD exStyle = 0;
    RECT units{};  // left, top, right, bottom in dialog units
    WORD id = 0;
    std::u16string className;  // an atom given as its class's name
    std::u16string text;       // empty when the title was a number
    std::vector<BYTE> creationData;
};

struct DialogTemplate {
    DWORD style = 0;
    DWORD exStyle = 0;
    RECT units{};
    std::u16string title;
    bool hasFont = false;
    WORD pointSize = 0;
    std::u16string faceName;
    std::vector<DialogItem> items;
};

// The window class of every dialog.
inline constexpr char16_t kDialogClassName[] = u"#32770";

// The largest template read when its size is not known.
inline constexpr std::size_t kMaxTemplateBytes = 64 * 1024;

std::optional<DialogTemplate> read_dialog_template(const void* bytes, std::size_t size, std::string* error = nullptr);

}  // namespace platform::dialogs
