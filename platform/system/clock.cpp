#include "platform/system/clock.h"

#include "platform/backend/backend.h"

namespace platform::system {
namespace {

void (*g_beforeSleep)() = nullptr;

}  // namespace

void set_before_sleep_hook(void (*hook)()) { g_beforeSleep = hook; }

}  // namespace platform::system

DWORD GetTickCount() { return static_cast<DWORD>(platform::backend::current().now_ms()); }

void Sleep(DWORD ms) {
    if (platform::system::g_beforeSleep != nullptr) platform::system::g_beforeSleep();
    platform::backend::current().sleep_ms(ms);
}
