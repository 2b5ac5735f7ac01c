// The HTML viewer fed hostile documents: the input's first byte chooses the
// view's size, the rest is UTF-16LE source (any units, lone surrogates
// too), sent in pieces split at NUL units. The document is parsed, laid
// out, painted, scrolled and painted again.
#include "platform/testing/headless.h"
#include "platform/win32.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

HWND g_view = nullptr;

void set_up() {
    platform::headless::reset(SIZE{240, 320});
    InitHTMLControl(nullptr);
    HWND main = CreateWindowExW(0, u"EDIT", nullptr, WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
    g_view = CreateWindowExW(0, u"DISPLAYCLASS", nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER, 0, 0, 240, 100, main,
                             nullptr, nullptr, nullptr);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (g_view == nullptr) set_up();
    if (size < 1) return 0;
    const int shape = data[0];
    MoveWindow(g_view, -1, (shape >> 4) * 8, 8 + (shape & 15) * 16, 8 + (shape >> 4) * 12, FALSE);
    SendMessageW(g_view, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(u""));
    std::u16string piece;
    for (std::size_t i = 1; i + 1 < size; i += 2) {
        const char16_t unit = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
        if (unit != 0) {
            piece.push_back(unit);
            continue;
        }
        SendMessageW(g_view, DTM_ADDTEXTW, 0, reinterpret_cast<LPARAM>(piece.c_str()));
        piece.clear();
    }
    SendMessageW(g_view, DTM_ADDTEXTW, 0, reinterpret_cast<LPARAM>(piece.c_str()));
    SendMessageW(g_view, DTM_ENDOFSOURCE, 0, 0);
    UpdateWindow(g_view);
    SendMessageW(g_view, WM_KEYDOWN, VK_RIGHT, 0);
    UpdateWindow(g_view);
    return 0;
}
