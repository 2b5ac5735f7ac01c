// A window procedure that writes down the messages its windows receive, so
// tests can compare what happened with an expected sequence.
#pragma once

#include "platform/testing/headless.h"
#include "platform/win32.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace window_tests {

// Entries read "name MESSAGE", e.g. "main WM_CREATE".
extern std::vector<std::string> g_log;

// A handler for one window and message; its result replaces
// DefWindowProcW's.
using Handler = std::function<LRESULT(HWND, WPARAM, LPARAM)>;
void on(const std::string& window, UINT message, Handler handler);

std::string name_of(HWND window);
std::string message_name(UINT message);

// Registers the recording class (name "Recorder", and "RecorderDbl" with
// CS_DBLCLKS) afresh after a headless reset.
void register_recorder_classes();

// Creates a window of the recording class; name is how the log calls it.
HWND make_window(const std::string& name, DWORD style, RECT rect, HWND parent = nullptr, DWORD exStyle = 0,
                 const char16_t* cls = u"Recorder");

// Only the entries for the given messages (all when empty).
std::vector<std::string> logged(std::vector<UINT> only = {});

// Every test starts from a fresh headless screen with the recorder ready.
void start_over(SIZE screen = SIZE{240, 320});

}  // namespace window_tests
