// The headless control of dialogs and their list controls, for tests and
// the script runner: where a user would tap to see, choose and scroll.
// Rectangles are screen pixels.
#pragma once

#include "platform/user/user_types.h"

#include <optional>
#include <string>
#include <vector>

namespace platform::testing {

struct ListItemView {
    int index = 0;
    std::u16string text;
    RECT rect{};  // the part of the row in view
    bool selected = false;
};

struct ScrollBarView {
    bool shown = false;
    bool enabled = false;  // false: drawn grey, taps do nothing
    RECT up{};
    RECT down{};
    RECT track{};
    RECT thumb{};  // empty while disabled
};

struct ListView {
    HWND window = nullptr;
    int count = 0;
    int top = 0;        // the first row in view
    int selection = -1; // in a dropped combo box list: the highlighted item
    std::vector<ListItemView> visible;  // the rows in view, top first
    ScrollBarView bar;
};

// A list box as it shows now; nothing for another window.
std::optional<ListView> list_box_view(HWND listBox);

struct ComboView {
    HWND window = nullptr;
    RECT field{};   // the closed box: a tap there drops the list
    RECT button{};  // the arrow at its right
    int count = 0;
    int selection = -1;
    std::u16string text;  // the chosen item's text
    bool dropped = false;
    std::optional<ListView> list;  // the dropped list, while dropped
};

// A combo box as it shows now; nothing for another window.
std::optional<ComboView> combo_box_view(HWND combo);

// Every item's text in display order, of a list box or a combo box.
std::vector<std::u16string> list_texts(HWND control);

// The frontmost dialog made by DialogBoxIndirectParamW or DialogBoxParamW
// that is on the screen, or null.
HWND front_dialog();

// The middle of a rectangle, where a tap on it lands.
POINT centre(const RECT& rect);

}  // namespace platform::testing
