#include "platform/dialogs/dialog_template.h"
#include "platform/gdi/object_table.h"
#include "platform/testing/dialog_controls.h"
#include "resources/resource_ids.h"
#include "tests/controls/controls_support.h"
#include "tests/controls/dialog_builder.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <tuple>

using namespace controls_test;
namespace headless = platform::headless;
using platform::dialogs::read_dialog_template;

namespace {

constexpr DWORD kDialogStyle = WS_POPUP | WS_VISIBLE | DS_SETFONT;
constexpr COLORREF kLightYellow = RGB(255, 255, 192);

// The Find dialog's layout: a location list, two combo boxes, labels and an
// HTML pane, in that template order.
std::vector<BYTE> find_like_template() {
    return DialogBuilder(kDialogStyle, 0, 0, 138, 156)
        .item({LBS_NOTIFY | LBS_SORT | LBS_NOINTEGRALHEIGHT | LBS_DISABLENOSCROLL | WS_VSCROLL | WS_BORDER | WS_TABSTOP |
                   WS_VISIBLE,
               0, 50, 138, 50, 1003, 0x0083, u"", u""})
        .item({CBS_DROPDOWNLIST | CBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP | WS_VISIBLE, 0, 29, 137, 107, 1047,
               0x0085, u"", u""})
        .item({CBS_DROPDOWNLIST | CBS_SORT | CBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP | WS_VISIBLE, 0, 9, 137, 107,
               1050, 0x0085, u"", u""})
        .item({SS_LEFT | WS_GROUP | WS_VISIBLE, 1, 1, 70, 8, 1010, 0x0082, u"", u"Find Within"})
        .item({WS_BORDER | WS_VISIBLE, 0, 112, 138, 44, 1019, 0, u"DISPLAYCLASS", u""})
        .bytes();
}

struct Logged {
    UINT message;
    int id;
    int code;
};

// The procedure of the test dialogs: every message is logged, and the test
// decides the answers.
std::vector<Logged> g_log;
std::function<INT_PTR(HWND, UINT, WPARAM, LPARAM)> g_answer;

INT_PTR CALLBACK test_dialog_proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) g_log.push_back({message, LOWORD(wParam), HIWORD(wParam)});
    else if (message == WM_INITDIALOG) g_log.push_back({message, GetDlgCtrlID(reinterpret_cast<HWND>(wParam)), 0});
    return g_answer ? g_answer(dialog, message, wParam, lParam) : FALSE;
}

std::vector<std::pair<int, int>> commands() {
    std::vector<std::pair<int, int>> out;
    for (const Logged& l : g_log) {
        if (l.message == WM_COMMAND) out.emplace_back(l.id, l.code);
    }
    return out;
}

// Runs steps one by one each time the dialog waits for input.
void drive(std::vector<std::function<void()>> steps) {
    auto remaining = std::make_shared<std::vector<std::function<void()>>>(std::move(steps));
    auto next = std::make_shared<std::size_t>(0);
    headless::set_idle_handler([remaining, next] {
        if (*next >= remaining->size()) return false;
        (*remaining)[(*next)++]();
        return true;
    });
}

class DialogBox : public ::testing::Test {
protected:
    void SetUp() override {
        start_over();
        g_log.clear();
        g_answer = nullptr;
        main = make_main();
        settle();
    }
    void TearDown() override {
        headless::set_idle_handler(nullptr);
        g_answer = nullptr;
    }
    INT_PTR run(const std::vector<BYTE>& bytes, HWND owner) {
        return DialogBoxIndirectParamW(GetModuleHandleW(nullptr), register_dialog(115, bytes), owner,
                                       test_dialog_proc, 77);
    }
    HWND main = nullptr;
};

TEST(DialogTemplate, ReadsTheHeaderFontAndItemsByAtomAndByName) {
    const std::vector<BYTE> bytes = find_like_template();
    std::string error;
    const auto t = read_dialog_template(bytes.data(), bytes.size(), &error);
    ASSERT_TRUE(t.has_value()) << error;
    EXPECT_EQ(t->style, static_cast<DWORD>(kDialogStyle));
    EXPECT_EQ(t->units.right, 138);
    EXPECT_EQ(t->units.bottom, 156);
    EXPECT_TRUE(t->hasFont);
    EXPECT_EQ(t->pointSize, 8);
    EXPECT_EQ(t->faceName, u"System");
    ASSERT_EQ(t->items.size(), 5u);
    EXPECT_EQ(t->items[0].className, u"LISTBOX");
    EXPECT_EQ(t->items[0].id, 1003);
    EXPECT_EQ(t->items[0].units.top, 50);
    EXPECT_EQ(t->items[0].units.bottom, 100);
    EXPECT_EQ(t->items[1].className, u"COMBOBOX");
    EXPECT_EQ(t->items[3].className, u"STATIC");
    EXPECT_EQ(t->items[3].text, u"Find Within");
    EXPECT_EQ(t->items[4].className, u"DISPLAYCLASS");
    EXPECT_EQ(t->items[4].style, static_cast<DWORD>(WS_BORDER | WS_VISIBLE));
}

TEST(DialogTemplate, EveryCutOfATemplateAndEveryUnsupportedFieldIsRefused) {
    const std::vector<BYTE> whole = DialogBuilder(kDialogStyle, 0, 0, 100, 80)
                                        .item({WS_VISIBLE, 1, 2, 3, 4, 7, 0x0082, u"", u"Text", {1, 2, 3}})
                                        .item({WS_VISIBLE, 1, 2, 3, 4, 8, 0, u"DISPLAYCLASS", u""})
                                        .bytes();
    for (std::size_t size = 0; size < whole.size(); ++size) {
        // An exact allocation, so a read past it is caught.
        auto copy = std::make_unique<BYTE[]>(size + 1);
        std::copy(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size), copy.get());
        EXPECT_FALSE(read_dialog_template(copy.get(), size).has_value()) << size;
    }
    const auto good = read_dialog_template(whole.data(), whole.size());
    ASSERT_TRUE(good.has_value());
    EXPECT_EQ(good->items[0].creationData, (std::vector<BYTE>{1, 2, 3}));

    const auto refused = [](std::vector<BYTE> bytes, const char* why) {
        std::string error;
        EXPECT_FALSE(read_dialog_template(bytes.data(), bytes.size(), &error).has_value()) << why;
        EXPECT_EQ(error, why);
    };
    refused(DialogBuilder(kDialogStyle, 0, 0, 10, 10).item({0, 0, 0, 1, 1, 1, 0x0099, u"", u""}).bytes(),
            "an item's class atom is unknown");
    refused(DialogBuilder(kDialogStyle, 0, 0, -1, 10).bytes(), "the dialog's rectangle is cut short or negative");
    refused(DialogBuilder(kDialogStyle, 0, 0, 10, 10).item({0, 0, 0, 1, -5, 1, 0x0082, u"", u""}).bytes(),
            "an item's rectangle is cut short or negative");
    std::vector<BYTE> extended = DialogBuilder(kDialogStyle, 0, 0, 10, 10).bytes();
    extended[0] = 1, extended[1] = 0, extended[2] = 0xFF, extended[3] = 0xFF;
    refused(extended, "extended templates are not supported");
    std::vector<BYTE> withMenu = DialogBuilder(WS_POPUP, 0, 0, 10, 10).bytes();
    withMenu[18] = 0xFF, withMenu[19] = 0xFF;  // menu 0xFFFF, then a number
    withMenu.insert(withMenu.begin() + 20, {0x05, 0x00});
    refused(withMenu, "dialog menus are not supported");
    // Many items announced, few there.
    std::vector<BYTE> tooMany = DialogBuilder(WS_POPUP, 0, 0, 10, 10).item({0, 0, 0, 1, 1, 1, 0x0082, u"", u""}).bytes();
    tooMany[8] = 0xFF, tooMany[9] = 0xFF;
    refused(tooMany, "an item is cut short");
    // A title that never ends.
    std::vector<BYTE> endless = DialogBuilder(WS_POPUP, 0, 0, 10, 10).bytes();
    endless.resize(endless.size() - 2);
    for (int i = 0; i < 8; ++i) endless.push_back('a' + i % 2);
    refused(endless, "the title is cut short");
}

TEST_F(DialogBox, ABrokenTemplateOrOwnerMakesNoWindow) {
    std::vector<BYTE> broken = find_like_template();
    broken.resize(broken.size() - 3);
    const auto windows = FindWindowW(u"#32770", nullptr);
    EXPECT_EQ(run(broken, main), -1);
    EXPECT_EQ(FindWindowW(u"#32770", nullptr), windows);
    EXPECT_TRUE(g_log.empty());
    // A control of a class that does not exist.
    EXPECT_EQ(run(DialogBuilder(kDialogStyle, 0, 0, 20, 20).item({WS_VISIBLE, 0, 0, 5, 5, 1, 0x0080, u"", u"OK"}).bytes(),
                  main),
              -1);
    EXPECT_EQ(DialogBoxIndirectParamW(nullptr, register_dialog(116, find_like_template()),
                                      reinterpret_cast<HWND>(0x7777), test_dialog_proc, 0),
              0);
    EXPECT_EQ(DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(999), main, test_dialog_proc, 0), -1);
    EXPECT_TRUE(IsWindowEnabled(main));
}

TEST_F(DialogBox, DialogUnitsFillTheSpaceBetweenTheBarsAndControlsSitWhereTheTemplateSays) {
    HWND dialog = nullptr;
    g_answer = [&](HWND d, UINT message, WPARAM, LPARAM) -> INT_PTR {
        if (message == WM_INITDIALOG) dialog = d;
        return FALSE;
    };
    RECT box{}, list{}, combo{}, label{}, pane{};
    RECT mapped{0, 50, 138, 100};
    LRESULT fieldRow = 0;
    drive({[&] {
        fieldRow = SendMessageW(GetDlgItem(dialog, 1050), CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
        GetWindowRect(dialog, &box);
        GetWindowRect(GetDlgItem(dialog, 1003), &list);
        GetWindowRect(GetDlgItem(dialog, 1050), &combo);
        GetWindowRect(GetDlgItem(dialog, 1010), &label);
        GetWindowRect(GetDlgItem(dialog, 1019), &pane);
        MapDialogRect(dialog, &mapped);
        EndDialog(dialog, 5);
    }});
    EXPECT_EQ(run(find_like_template(), main), 5);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.top, 26);
    EXPECT_EQ(box.right, 240);
    EXPECT_EQ(box.bottom, 294);
    // 50 units down and 50 high: 85.9 pixels each way, rounded.
    EXPECT_EQ(list.top, 26 + 86);
    EXPECT_EQ(list.bottom, 26 + 172);
    EXPECT_EQ(list.right, 240);
    EXPECT_EQ(mapped.top, 86);
    EXPECT_EQ(mapped.bottom, 172);
    EXPECT_EQ(mapped.right, 240);
    // A combo box is one row high; the rest of its height is its list's.
    EXPECT_EQ(combo.top, 26 + 15);
    EXPECT_EQ(combo.bottom - combo.top, fieldRow + 4);
    EXPECT_EQ(fieldRow, 16);
    EXPECT_EQ(label.left, 2);
    EXPECT_EQ(label.top, 26 + 2);
    EXPECT_EQ(pane.top, 26 + 192);
    EXPECT_EQ(pane.bottom, 294);

    // Placed past the bottom bar, a dialog moves up into the space; without
    // an owner it starts at the space's corner; DS_CENTER centres it.
    const auto place = [&](DWORD style, short y, HWND owner) {
        RECT r{};
        g_answer = [&](HWND d, UINT message, WPARAM, LPARAM) -> INT_PTR {
            if (message == WM_INITDIALOG) {
                GetWindowRect(d, &r);
                EndDialog(d, 1);
            }
            return FALSE;
        };
        run(DialogBuilder(style, 0, y, 69, 78).bytes(), owner);
        return r;
    };
    EXPECT_EQ(place(kDialogStyle, 150, main).bottom, 294);
    EXPECT_EQ(place(kDialogStyle, 0, nullptr).top, 26);
    const RECT centred = place(kDialogStyle | DS_CENTER, 0, main);
    EXPECT_EQ(centred.left, 60);
    EXPECT_EQ(centred.top, 26 + 67);
    // 69 x 78 units are 120 x 134 pixels; WS_BORDER adds one on every side.
    const std::tuple<DWORD, int, int> sizes[] = {{kDialogStyle, 120, 134}, {kDialogStyle | WS_BORDER, 122, 136}};
    for (const auto& [style, width, height] : sizes) {
        const RECT r = place(style, 0, main);
        EXPECT_EQ(r.right - r.left, width) << style;
        EXPECT_EQ(r.bottom - r.top, height) << style;
    }
}

TEST_F(DialogBox, InitDialogTrueFocusesTheFirstTabStopAndFalseKeepsTheProceduresChoice) {
    HWND dialog = nullptr;
    int focused = 0;
    LPARAM param = 0;
    BOOL initAnswer = TRUE;
    g_answer = [&](HWND d, UINT message, WPARAM, LPARAM lParam) -> INT_PTR {
        if (message != WM_INITDIALOG) return FALSE;
        dialog = d;
        param = lParam;
        if (!initAnswer) SetFocus(GetDlgItem(d, 1050));
        return initAnswer;
    };
    drive({[&] {
        focused = GetDlgCtrlID(GetFocus());
        EndDialog(dialog, 1);
    }});
    EXPECT_EQ(run(find_like_template(), main), 1);
    ASSERT_FALSE(g_log.empty());
    EXPECT_EQ(g_log.front().message, static_cast<UINT>(WM_INITDIALOG));
    EXPECT_EQ(g_log.front().id, 1003);  // the first tab stop, in wParam
    EXPECT_EQ(param, 77);
    EXPECT_EQ(focused, 1003);
    EXPECT_EQ(GetFocus(), main);  // given back when the dialog is gone

    initAnswer = FALSE;
    drive({[&] {
        focused = GetDlgCtrlID(GetFocus());
        EndDialog(dialog, 1);
    }});
    run(find_like_template(), main);
    EXPECT_EQ(focused, 1050);
}

TEST_F(DialogBox, TabAndShiftTabWalkTheTabStopsInTemplateOrder) {
    HWND dialog = nullptr;
    g_answer = [&](HWND d, UINT message, WPARAM, LPARAM) -> INT_PTR {
        if (message == WM_INITDIALOG) {
            dialog = d;
            // A disabled and a hidden tab stop are passed over.
            EnableWindow(GetDlgItem(d, 104), FALSE);
            return TRUE;
        }
        return FALSE;
    };
    const auto bytes = DialogBuilder(kDialogStyle, 0, 0, 138, 156)
                           .item({WS_VISIBLE, 0, 0, 50, 8, 101, 0x0082, u"", u"label"})
                           .item({WS_VISIBLE | WS_TABSTOP | WS_BORDER, 0, 10, 60, 30, 102, 0x0083, u"", u""})
                           .item({WS_VISIBLE | WS_TABSTOP | CBS_DROPDOWNLIST, 0, 50, 60, 60, 103, 0x0085, u"", u""})
                           .item({WS_VISIBLE | WS_TABSTOP | WS_BORDER, 70, 10, 60, 30, 104, 0x0083, u"", u""})
                           .item({WS_TABSTOP | WS_BORDER, 70, 50, 60, 30, 105, 0x0083, u"", u""})
                           .item({WS_VISIBLE | WS_TABSTOP | WS_BORDER, 70, 90, 60, 30, 106, 0x0083, u"", u""})
                           .bytes();
    std::vector<int> order;
    const auto record = [&] { order.push_back(GetDlgCtrlID(GetFocus())); };
    drive({[&] {
               record();
               headless::press_key(VK_TAB);
           },
           [&] {
               record();
               headless::press_key(VK_TAB);
           },
           [&] {
               record();
               headless::press_key(VK_TAB);
           },
           [&] {
               record();
               headless::key_down(VK_SHIFT);
               headless::press_key(VK_TAB);
           },
           [&] {
               record();
               headless::press_key(VK_TAB);
               headless::key_up(VK_SHIFT);
           },
           [&] {
               record();
               EXPECT_EQ(GetDlgCtrlID(GetNextDlgTabItem(dialog, nullptr, FALSE)), 102);
               EXPECT_EQ(GetDlgCtrlID(GetNextDlgTabItem(dialog, nullptr, TRUE)), 106);
               EXPECT_EQ(GetDlgCtrlID(GetNextDlgTabItem(dialog, GetDlgItem(dialog, 101), FALSE)), 102);
               EXPECT_EQ(GetDlgCtrlID(GetNextDlgTabItem(dialog, GetDlgItem(dialog, 103), TRUE)), 102);
               EndDialog(dialog, 0);
           }});
    run(bytes, main);
    EXPECT_EQ(order, (std::vector<int>{102, 103, 106, 102, 106, 103}));
    for (auto c : commands()) EXPECT_TRUE(c.first != IDOK && c.first != IDCANCEL);  // Tab is no command
}

TEST_F(DialogBox, EnterAndEscapeReachTheProcedureAsOkAndCancelUnlessADroppedListTakesThem) {
    HWND dialog = nullptr;
    g_answer = [&](HWND d, UINT message, WPARAM wParam, LPARAM) -> INT_PTR {
        if (message == WM_INITDIALOG) {
            dialog = d;
            HWND combo = GetDlgItem(d, 1050);
            for (const char16_t* t : {u"Harbour", u"Island"}) SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(t));
            return TRUE;
        }
        if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL && commands().size() >= 4) EndDialog(d, IDCANCEL);
        return message == WM_COMMAND;
    };
    drive({[&] { headless::press_key(VK_RETURN); },
           [&] { headless::press_key(VK_ESCAPE); },
           [&] {
               // With the map list dropped, Enter chooses in it and Escape
               // closes it: neither is OK or Cancel.
               SetFocus(GetDlgItem(dialog, 1050));
               SendMessageW(GetDlgItem(dialog, 1050), CB_SHOWDROPDOWN, TRUE, 0);
               headless::press_key(VK_DOWN);
               headless::press_key(VK_RETURN);
           },
           [&] {
               SendMessageW(GetDlgItem(dialog, 1050), CB_SHOWDROPDOWN, TRUE, 0);
               headless::press_key(VK_ESCAPE);
           },
           [&] { headless::close_window(); }});
    EXPECT_EQ(run(find_like_template(), main), IDCANCEL);
    const std::vector<std::pair<int, int>> expected = {
        {IDOK, BN_CLICKED}, {IDCANCEL, BN_CLICKED},
        {1050, CBN_SETFOCUS}, {1050, CBN_DROPDOWN}, {1050, CBN_SELCHANGE}, {1050, CBN_CLOSEUP},
        {1050, CBN_DROPDOWN}, {1050, CBN_CLOSEUP},
        {IDCANCEL, BN_CLICKED}};
    std::vector<std::pair<int, int>> seen;
    for (auto c : commands()) {
        if (c != std::pair<int, int>{1003, LBN_SETFOCUS} && c != std::pair<int, int>{1003, LBN_KILLFOCUS}) seen.push_back(c);
    }
    EXPECT_EQ(seen, expected);
    EXPECT_FALSE(IsWindow(dialog));
}

TEST_F(DialogBox, TheBackgroundIsTheBrushAnsweredToCtlColorDlgAndControlsGetTheDialogFont) {
    HBRUSH yellow = CreateSolidBrush(kLightYellow);
    HWND dialog = nullptr;
    g_answer = [&](HWND d, UINT message, WPARAM, LPARAM) -> INT_PTR {
        if (message == WM_INITDIALOG) dialog = d;
        if (message == WM_CTLCOLORDLG) return reinterpret_cast<INT_PTR>(yellow);
        return FALSE;
    };
    std::uint32_t ground = 0;
    LRESULT listFont = 0;
    drive({[&] {
        ground = headless::pixel(200, 26 + 40);  // between the two combo boxes
        listFont = SendMessageW(GetDlgItem(dialog, 1003), WM_GETFONT, 0, 0);
        EndDialog(dialog, 0);
    }});
    run(find_like_template(), main);
    EXPECT_TRUE(is(ground, kLightYellow));
    EXPECT_EQ(reinterpret_cast<HGDIOBJ>(listFont), GetStockObject(SYSTEM_FONT));

    // No answer: the system's white. A face other than System is made for
    // the dialog and goes with it.
    g_answer = [&](HWND d, UINT message, WPARAM, LPARAM) -> INT_PTR {
        if (message == WM_INITDIALOG) dialog = d;
        return FALSE;
    };
    const int fonts = platform::gdi::live_object_count(platform::gdi::ObjectKind::Font);
    drive({[&] {
        ground = headless::pixel(200, 26 + 40);
        listFont = SendMessageW(GetDlgItem(dialog, 1003), WM_GETFONT, 0, 0);
        EndDialog(dialog, 0);
    }});
    run(DialogBuilder(kDialogStyle, 0, 0, 138, 156, u"DejaVu Serif", 9)
            .item({WS_VISIBLE | WS_BORDER, 0, 50, 138, 50, 1003, 0x0083, u"", u""})
            .bytes(),
        main);
    EXPECT_TRUE(is(ground, RGB(255, 255, 255)));
    EXPECT_NE(reinterpret_cast<HGDIOBJ>(listFont), GetStockObject(SYSTEM_FONT));
    EXPECT_EQ(platform::gdi::live_object_count(platform::gdi::ObjectKind::Font), fonts);
    DeleteObject(yellow);
}

TEST_F(DialogBox, EndDialogsResultIsReturnedAndTheOwnerTakesInputAgain) {
    bool ownerEnabled = true;
    g_answer = [&](HWND d, UINT message, WPARAM wParam, LPARAM) -> INT_PTR {
        if (message == WM_COMMAND && LOWORD(wParam) == 1234) {
            ownerEnabled = IsWindowEnabled(main);
            EndDialog(d, 42);
            return TRUE;
        }
        return FALSE;
    };
    drive({[] {
        // A tap on the main window behind the dialog does nothing.
        headless::tap(120, 200);
        PostMessageW(FindWindowW(u"#32770", nullptr), WM_COMMAND, 1234, 0);
    }});
    g_commands.clear();
    EXPECT_EQ(run(find_like_template(), main), 42);
    EXPECT_FALSE(ownerEnabled);
    EXPECT_TRUE(IsWindowEnabled(main));
    EXPECT_EQ(FindWindowW(u"#32770", nullptr), nullptr);
    EXPECT_EQ(GetFocus(), main);
    EXPECT_FALSE(EndDialog(main, 1));

    // Ended while it starts: never shown, and the result comes back at once.
    int paints = 0;
    g_answer = [&](HWND d, UINT message, WPARAM, LPARAM) -> INT_PTR {
        if (message == WM_INITDIALOG) EndDialog(d, 9);
        if (message == WM_ERASEBKGND) ++paints;
        return FALSE;
    };
    EXPECT_EQ(run(find_like_template(), main), 9);
    EXPECT_EQ(paints, 0);
}

TEST_F(DialogBox, ANestedDialogRunsItsOwnLoopAndTheOuterGoesOnAfterIt) {
    INT_PTR inner = -5;
    bool outerEnabledDuringInner = true;
    bool mainEnabledDuringInner = true;
    HWND outer = nullptr;
    HWND innerDialog = nullptr;
    g_answer = [&](HWND d, UINT message, WPARAM wParam, LPARAM) -> INT_PTR {
        if (message == WM_INITDIALOG) (outer == nullptr ? outer : innerDialog) = d;
        if (message == WM_COMMAND && LOWORD(wParam) == 10 && d == outer) {
            inner = DialogBoxIndirectParamW(nullptr, register_dialog(117, find_like_template()), d, test_dialog_proc, 0);
            EndDialog(d, inner + 1);
            return TRUE;
        }
        if (message == WM_COMMAND && LOWORD(wParam) == 11 && d == innerDialog) {
            EXPECT_EQ(platform::testing::front_dialog(), innerDialog);
            outerEnabledDuringInner = IsWindowEnabled(outer);
            mainEnabledDuringInner = IsWindowEnabled(main);
            EndDialog(d, 7);
            return TRUE;
        }
        return FALSE;
    };
    drive({[&] { PostMessageW(outer, WM_COMMAND, 10, 0); }, [&] { PostMessageW(innerDialog, WM_COMMAND, 11, 0); }});
    EXPECT_EQ(run(find_like_template(), main), 8);
    EXPECT_EQ(inner, 7);
    EXPECT_EQ(platform::testing::front_dialog(), nullptr);
    EXPECT_FALSE(outerEnabledDuringInner);
    EXPECT_FALSE(mainEnabledDuringInner);
    EXPECT_FALSE(IsWindow(outer));
    EXPECT_FALSE(IsWindow(innerDialog));
    EXPECT_TRUE(IsWindowEnabled(main));
}

TEST_F(DialogBox, AMessageBoxWhileTheDialogStartsOrRunsLeavesItTakingInputWithItsFocus) {
    int boxAnswer = 0;
    int focusAfterBox = 0;
    bool enabledAfterBox = false;
    g_answer = [&](HWND d, UINT message, WPARAM wParam, LPARAM) -> INT_PTR {
        if (message == WM_INITDIALOG) {
            // As when the dialog's menu bar cannot be made.
            boxAnswer = MessageBoxW(d, u"Create Menu Bar Failed", u"Error", MB_OK);
            SetFocus(GetDlgItem(d, 1047));
            return FALSE;
        }
        if (message == WM_COMMAND && LOWORD(wParam) == 30) {
            MessageBoxW(d, u"Again", u"Error", MB_OK);
            focusAfterBox = GetDlgCtrlID(GetFocus());
            enabledAfterBox = IsWindowEnabled(d) != FALSE;
            return TRUE;
        }
        if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) EndDialog(d, 3);
        return FALSE;
    };
    drive({[] { headless::press_key(VK_RETURN); },
           [] { PostMessageW(platform::testing::front_dialog(), WM_COMMAND, 30, 0); },
           [] { headless::press_key(VK_RETURN); },
           [] { headless::press_key(VK_ESCAPE); }});
    EXPECT_EQ(run(find_like_template(), main), 3);
    EXPECT_EQ(boxAnswer, IDOK);
    EXPECT_EQ(focusAfterBox, 1047);
    EXPECT_TRUE(enabledAfterBox);
}

TEST_F(DialogBox, TheDialogsMenuBarButtonsReachItsProcedureWhileItRuns) {
    HWND bar = nullptr;
    g_answer = [&](HWND d, UINT message, WPARAM wParam, LPARAM) -> INT_PTR {
        if (message == WM_INITDIALOG) {
            SHINITDLGINFO info{SHIDIM_FLAGS, d, SHIDIF_SIZEDLGFULLSCREEN};
            SHInitDialog(&info);
            SHMENUBARINFO mb{};
            mb.cbSize = 32;
            mb.hwndParent = d;
            mb.nToolBarId = IDM_DIALOG_MENUBAR;
            mb.hInstRes = GetModuleHandleW(nullptr);
            if (!SHCreateMenuBar(&mb)) return FALSE;
            bar = mb.hwndMB;
            CommandBar_AddBitmap(bar, mb.hInstRes, IDB_FIND_BUTTONS, 2, 16, 16);
            const TBBUTTON buttons[] = {{0, 40057, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0},
                                        {1, 1001, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0}};
            SendMessageW(bar, TB_ADDBUTTONS, 2, reinterpret_cast<LPARAM>(buttons));
            return FALSE;
        }
        if (message == WM_COMMAND && LOWORD(wParam) == 1001) EndDialog(d, 1);
        return FALSE;
    };
    RECT placed{};
    drive({[&] {
        GetWindowRect(FindWindowW(u"#32770", nullptr), &placed);
        const auto buttons = headless::menu_bar_buttons();
        ASSERT_EQ(buttons.size(), 3u);  // the bar's hidden button, Cancel, OK
        const POINT cancel = platform::testing::centre(buttons[1].rect);
        const POINT ok = platform::testing::centre(buttons[2].rect);
        headless::tap(cancel.x, cancel.y);
        headless::tap(ok.x, ok.y);
    }});
    EXPECT_EQ(run(find_like_template(), main), 1);
    EXPECT_EQ(placed.top, 26);
    EXPECT_EQ(placed.bottom, 294);
    std::vector<std::pair<int, int>> buttonsPressed;
    for (auto c : commands()) {
        if (c.first == 40057 || c.first == 1001) buttonsPressed.push_back(c);
    }
    EXPECT_EQ(buttonsPressed, (std::vector<std::pair<int, int>>{{40057, 0}, {1001, 0}}));
    EXPECT_FALSE(IsWindow(bar));
}

}  // namespace
