#include "tests/controls/controls_support.h"

#include <gtest/gtest.h>

#include <string>

using namespace controls_test;
namespace headless = platform::headless;

namespace {

constexpr DWORD kLogStyle = 0x50200144;  // child, visible, scroll bar, multi-line, auto-scroll, keeps selection

class EditControl : public ::testing::Test {
protected:
    void SetUp() override {
        start_over();
        main = make_main();
    }
    HWND make_log() {
        HWND log = CreateWindowExW(0, u"EDIT", nullptr, kLogStyle, 0, 0, 0, 0, main, nullptr, nullptr, nullptr);
        RECT client{};
        GetClientRect(main, &client);
        MoveWindow(log, 0, 0, client.right, client.bottom, TRUE);
        return log;
    }
    std::u16string text(HWND edit) {
        std::u16string s(static_cast<std::size_t>(GetWindowTextLengthW(edit)) + 1, u'\0');
        s.resize(GetWindowTextW(edit, s.data(), static_cast<int>(s.size())));
        return s;
    }
    void append(HWND edit, const char16_t* s) { SendMessageW(edit, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(s)); }
    HWND main = nullptr;
};

TEST_F(EditControl, TheLogTakesItsLinesAtTheCaretAndBreaksThemAtLineEnds) {
    ASSERT_EQ(kLogStyle, static_cast<DWORD>(WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
                                            ES_NOHIDESEL));
    HWND log = make_log();
    ASSERT_NE(log, nullptr);
    append(log, u"Mapfolio V1.0");
    append(log, u"\r\nBuild Options = LG+RG+DM");
    append(log, u"\r\nLoading Maps\r\n");
    EXPECT_EQ(text(log), u"Mapfolio V1.0\r\nBuild Options = LG+RG+DM\r\nLoading Maps\r\n");
    EXPECT_EQ(SendMessageW(log, EM_GETLINECOUNT, 0, 0), 4) << "three lines and the empty one after the last break";
    EXPECT_EQ(SendMessageW(log, EM_LINEINDEX, 1, 0), 15);

    // Text put in where the caret stands, replacing the selection.
    SendMessageW(log, EM_SETSEL, 0, 8);
    append(log, u"Atlas");
    EXPECT_EQ(text(log).substr(0, 10), u"Atlas V1.0");
    DWORD from = 0, to = 0;
    SendMessageW(log, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    EXPECT_EQ(from, 5u);
    EXPECT_EQ(to, 5u);

    // Drawn in black, line under line, starting at the top left.
    settle();
    const RECT area = screen_rect(log);
    const auto lines = rows(RECT{area.left, area.top, area.right - 14, area.bottom}, dark);
    EXPECT_LE(lines.first, area.top + 4);
    EXPECT_GT(lines.second, area.top + 28) << "three lines of text";
    EXPECT_LT(lines.second, area.top + 48);
}

TEST_F(EditControl, LongLinesWrapBetweenWords) {
    HWND log = make_log();
    append(log, u"Failed to load data for AN_EXCEPTIONALLY_LONG_FILE_NAME.DAB and more words");
    EXPECT_GT(SendMessageW(log, EM_GETLINECOUNT, 0, 0), 1);
    SetWindowTextW(log, std::u16string(400, u'x').c_str());
    EXPECT_GT(SendMessageW(log, EM_GETLINECOUNT, 0, 0), 5) << "a word wider than the box breaks between letters";
    settle();
    const RECT area = screen_rect(log);
    EXPECT_EQ(count(RECT{area.right - 13, area.top + 20, area.right, area.bottom - 20}, dark), 0)
        << "no text under the scroll bar";
}

TEST_F(EditControl, AppendingScrollsToTheEndAndTheBarScrollsBack) {
    HWND log = make_log();
    for (int i = 0; i < 60; ++i) append(log, (u"Line " + std::u16string(1, static_cast<char16_t>(u'A' + i % 26)) + u"\r\n").c_str());
    const LRESULT first = SendMessageW(log, EM_GETFIRSTVISIBLELINE, 0, 0);
    EXPECT_GT(first, 30) << "the end of the log is in view";
    settle();
    const RECT area = screen_rect(log);
    const auto textRows = rows(RECT{area.left, area.top, area.right - 14, area.bottom}, dark);
    EXPECT_GT(textRows.second, area.bottom - 40) << "the last lines reach the bottom";

    // A tap on the up arrow scrolls back a line; one on the track a page.
    headless::tap(area.right - 6, area.top + 5);
    settle();
    EXPECT_EQ(SendMessageW(log, EM_GETFIRSTVISIBLELINE, 0, 0), first - 1);
    headless::tap(area.right - 6, area.top + 20);
    settle();
    EXPECT_LT(SendMessageW(log, EM_GETFIRSTVISIBLELINE, 0, 0), first - 5);
    SendMessageW(log, EM_LINESCROLL, 0, -1000);
    EXPECT_EQ(SendMessageW(log, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    append(log, u"more");
    EXPECT_EQ(SendMessageW(log, EM_GETFIRSTVISIBLELINE, 0, 0), first) << "appending brings the end back";
}

TEST_F(EditControl, TypingEditsUnlessReadOnly) {
    HWND edit = CreateWindowExW(0, u"EDIT", u"ab", WS_CHILD | WS_VISIBLE | ES_MULTILINE, 0, 0, 200, 60, main,
                                reinterpret_cast<HMENU>(7), nullptr, nullptr);
    SetFocus(edit);
    SendMessageW(edit, EM_SETSEL, 2, 2);
    headless::type_char(u'c');
    headless::press_key(VK_RETURN);
    headless::type_char(u'd');
    settle();
    EXPECT_EQ(text(edit), u"abc\r\nd");
    headless::press_key(VK_BACK);
    headless::press_key(VK_BACK);
    settle();
    EXPECT_EQ(text(edit), u"abc") << "one backspace takes a whole line end";
    ASSERT_FALSE(g_commands.empty());
    EXPECT_EQ(g_commands.back().id, 7);
    EXPECT_EQ(g_commands.back().code, EN_CHANGE);

    SendMessageW(edit, EM_SETREADONLY, TRUE, 0);
    headless::type_char(u'z');
    settle();
    EXPECT_EQ(text(edit), u"abc");

    // A tap places the caret before the letter under it.
    SendMessageW(edit, EM_SETREADONLY, FALSE, 0);
    const RECT area = screen_rect(edit);
    headless::tap(area.left + 3, area.top + 5);
    headless::type_char(u'>');
    settle();
    EXPECT_EQ(text(edit), u">abc");
}

}  // namespace
