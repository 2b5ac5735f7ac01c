#include "platform/base/win32_types.h"

namespace {
// One thread runs the program; the value is per thread all the same, as on
// the platform it stands in for.
thread_local DWORD g_last_error = ERROR_SUCCESS;
}  // namespace

DWORD GetLastError() { return g_last_error; }
void SetLastError(DWORD error) { g_last_error = error; }
