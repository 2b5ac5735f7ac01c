// Platform internal: the timers as the message queue sees them.
#pragma once

#include "platform/user/window.h"

#include <cstdint>

namespace platform::user {

// WM_TIMER for the timer that elapsed first (of filter and its
// descendants, when given), re-armed from now; false when none is due.
bool take_due_timer(Window* filter, MSG& out);
// Clock time at which the next timer elapses, or backend::kNoTimeout.
std::uint64_t next_timer_due();
void reset_timers();

}  // namespace platform::user
