// Platform internal: raw stylus and key input becomes window messages when
// the queue takes it, so hit testing sees the windows as they are then.
#pragma once

#include "platform/backend/backend.h"
#include "platform/user/user_types.h"

namespace platform::user {

// The message for a raw event, or false when no window takes it (a press on
// a disabled window, a move with the stylus up).
bool translate_input(const backend::InputEvent& event, MSG& out);
void reset_input();

}  // namespace platform::user
