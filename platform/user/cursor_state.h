// Platform internal: whether the busy pointer is up.
#pragma once

namespace platform::user {

bool busy_cursor_shown();
void reset_cursor();

}  // namespace platform::user
