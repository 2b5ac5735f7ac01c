// Platform internal: where the list controls' parts are on the screen now,
// for the headless control that taps them as a user would.
#pragma once

#include "platform/controls/list_pane.h"
#include "platform/controls/scroll_bar.h"
#include "platform/user/user_types.h"

#include <optional>
#include <string>
#include <vector>

namespace platform::controls {

struct ListRow {
    int index = 0;
    std::u16string text;
    RECT rect{};  // screen coordinates: the part of the row in view
};

struct ListGeometry {
    HWND window = nullptr;  // the list box, or a combo box's dropped list
    int count = 0;
    int top = 0;
    int selection = -1;  // the highlighted item
    std::vector<ListRow> rows;  // the rows in view, top first
    bool barShown = false;
    ScrollBarParts bar;  // screen coordinates
};

// The geometry of a pane shown in window with that layout.
ListGeometry describe_list(HWND window, const ListPane& pane, const ListPane::Layout& layout);

// Nothing for a window that is not a list box.
std::optional<ListGeometry> list_box_geometry(HWND listBox);

struct ComboGeometry {
    RECT field{};   // screen coordinates of the closed box
    RECT button{};  // the arrow at its right
    int count = 0;
    int selection = -1;
    bool dropped = false;
    std::optional<ListGeometry> list;  // while dropped
};

// Nothing for a window that is not a combo box.
std::optional<ComboGeometry> combo_box_geometry(HWND combo);

}  // namespace platform::controls
