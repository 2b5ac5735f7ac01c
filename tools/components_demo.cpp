// mapfolio-components-demo: the platform's controls as the program uses
// them, on a headless screen, written as PNG files for a person to look at.
//
//   mapfolio-components-demo DIR [--zoom N]
//
// writes into DIR:
//   strip.png     a main window with the location strip at its bottom
//                 ("Quay Cafe - Open all day", sent as the popup sends it)
//                 and the nine-button menu bar, Back and Forward disabled
//   document.png  a long document in an HTML viewer, scrolled down
//   log.png       the loading log with its lines
//   tip.png       the menu bar with the tool tip of a held button
// With --zoom N each is also written N times larger (name-xN.png).
#include "app/command_bar.h"
#include "app/command_ids.h"
#include "platform/testing/headless.h"
#include "platform/win32.h"
#include "resources/program_resources.h"
#include "resources/resource_ids.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace headless = platform::headless;

namespace {

std::string g_dir;
int g_zoom = 0;
HWND g_main = nullptr;

// The main window stands for a map: a pale green ground with a grid.
LRESULT CALLBACK main_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT ps{};
        HDC dc = BeginPaint(window, &ps);
        RECT client{};
        GetClientRect(window, &client);
        HBRUSH ground = CreateSolidBrush(RGB(214, 230, 196));
        FillRect(dc, &client, ground);
        DeleteObject(ground);
        HBRUSH line = CreateSolidBrush(RGB(180, 200, 160));
        for (int x = 0; x < client.right; x += 24) {
            RECT r{x, 0, x + 1, client.bottom};
            FillRect(dc, &r, line);
        }
        for (int y = 0; y < client.bottom; y += 24) {
            RECT r{0, y, client.right, y + 1};
            FillRect(dc, &r, line);
        }
        DeleteObject(line);
        EndPaint(window, &ps);
        return 0;
    }
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(window, message, wParam, lParam);
}

bool save(const char* name) {
    headless::run_until_idle();
    const std::string path = g_dir + "/" + name + ".png";
    std::string error;
    if (!headless::write_png(path, &error)) {
        std::fprintf(stderr, "mapfolio-components-demo: %s: %s\n", path.c_str(), error.c_str());
        return false;
    }
    if (g_zoom > 1) {
        const platform::Surface& frame = headless::frame();
        platform::Surface big(frame.width() * g_zoom, frame.height() * g_zoom);
        for (int y = 0; y < big.height(); ++y)
            for (int x = 0; x < big.width(); ++x) big.row(y)[x] = frame.row(y / g_zoom)[x / g_zoom];
        const std::string zoomed = g_dir + "/" + name + "-x" + std::to_string(g_zoom) + ".png";
        if (!headless::write_png(big, zoomed, &error)) return false;
    }
    std::printf("%s\n", path.c_str());
    return true;
}

void send_pieces(HWND view, std::initializer_list<const char16_t*> pieces) {
    SendMessageW(view, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(u""));
    for (const char16_t* piece : pieces) SendMessageW(view, DTM_ADDTEXTW, 0, reinterpret_cast<LPARAM>(piece));
    SendMessageW(view, DTM_ENDOFSOURCE, 0, 0);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: mapfolio-components-demo DIR [--zoom N]\n");
        return 2;
    }
    g_dir = argv[1];
    if (argc >= 4 && std::string(argv[2]) == "--zoom") g_zoom = std::atoi(argv[3]);

    headless::reset(SIZE{240, 320});
    RegisterProgramResources();
    LoadLibraryW(u"htmlview.dll");
    InitHTMLControl(GetModuleHandleW(nullptr));
    WNDCLASSW wc{};
    wc.lpfnWndProc = main_proc;
    wc.lpszClassName = u"MapfolioClass";
    RegisterClassW(&wc);
    g_main = CreateWindowExW(0, u"MapfolioClass", u"MapPDA", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    MoveWindow(g_main, 0, 26, 240, 268, FALSE);
    // The program's own menu bar; it keeps its window in g_menuBar.
    CreateMainMenuBar(g_main, GetModuleHandleW(nullptr));
    SHSetNavBarText(g_main, u"Harbour");

    // The location strip: a location in the upper half with a description.
    HWND popup = CreateWindowExW(0, u"DISPLAYCLASS", nullptr, WS_CHILD | WS_BORDER, 0, 0, 0, 0, g_main, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    RECT client{};
    GetClientRect(g_main, &client);
    const int height = 42;
    MoveWindow(popup, -1, client.bottom - height + 1, client.right + 3, height, FALSE);
    ShowWindow(popup, SW_SHOW);
    send_pieces(popup, {u"<BODY LEFTMARGIN=\"2\" TOPMARGIN=\"0\">", u"<FONT SIZE=2 COLOR=BLUE><B>", u"Quay Cafe",
                        u"</B><FONT SIZE=2 COLOR=BLACK> - ", u"Open all day", u"</BODY>"});
    if (!save("strip")) return 1;

    // A long topic in a pane, scrolled down with the cursor keys.
    ShowWindow(popup, SW_HIDE);
    HWND pane = CreateWindowExW(0, u"DISPLAYCLASS", nullptr, WS_CHILD | WS_VISIBLE, 0, 40, 240, 200, g_main, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    std::u16string topic = u"<BODY LEFTMARGIN=\"8\"><P><B>Harbour walk</B></P>";
    for (int i = 1; i <= 12; ++i) {
        topic += u"<P>Stop " + std::u16string(1, static_cast<char16_t>(u'0' + i / 10)) +
                 std::u16string(1, static_cast<char16_t>(u'0' + i % 10)) +
                 u": follow the <FONT COLOR=BLUE>quay</FONT> past the <I>old customs house</I> and the "
                 u"<U>fish market</U> to the lighthouse.</P>";
    }
    topic += u"</BODY>";
    send_pieces(pane, {topic.c_str()});
    SetFocus(pane);
    headless::run_until_idle();
    for (int i = 0; i < 3; ++i) headless::press_key(VK_RIGHT);
    if (!save("document")) return 1;
    DestroyWindow(pane);

    // The loading log.
    HWND log = CreateWindowExW(0, u"EDIT", nullptr, 0x50200144, 0, 0, 0, 0, g_main, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    MoveWindow(log, 0, 0, client.right, client.bottom, TRUE);
    SHSetNavBarText(g_main, u"Loading");
    for (const char16_t* line : {u"Mapfolio V1.0", u"\r\nBuild Options = LG+RG+DM", u"\r\nLoading Maps\r\n",
                                 u"Memory Available\r\n", u"16777216 Physical\r\n", u"33554432 Virtual\r\n",
                                 u"Please wait....\r\n", u"Failed to load data for BROKEN.DAB\r\n",
                                 u"Failed to create Home and/or Main map\r\n"})
        SendMessageW(log, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(line));
    if (!save("log")) return 1;
    DestroyWindow(log);

    // A held Home button shows its tip.
    SHSetNavBarText(g_main, u"Harbour");
    RECT home{};
    SendMessageW(g_menuBar, TB_GETRECT, IDM_HOME, reinterpret_cast<LPARAM>(&home));
    POINT at{(home.left + home.right) / 2, (home.top + home.bottom) / 2};
    ClientToScreen(g_menuBar, &at);
    headless::stylus_down(at.x, at.y);
    headless::run_until_idle();
    headless::advance_clock(600);
    if (!save("tip")) return 1;
    headless::stylus_up(at.x, at.y);
    headless::run_until_idle();
    return 0;
}
