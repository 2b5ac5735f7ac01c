// Platform internal: running the queue without waiting, for tests, the
// script runner and modal loops that must not block.
#pragma once

#include "platform/user/user_types.h"

namespace platform::user {

// Takes the next message without waiting (WM_QUIT included).
bool peek_message(MSG& out);
// Dispatches every message that can be had without waiting: posted
// messages, input, paints and elapsed timers. A WM_QUIT met is left
// pending. Returns the number dispatched.
int pump_messages();
bool quit_pending();
void reset_queue();

}  // namespace platform::user
