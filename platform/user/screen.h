// Platform internal: the device screen, composed from the surfaces of the
// visible windows in z-order, under the shell frame.
#pragma once

#include "platform/gdi/surface.h"

namespace platform::user {

// Composes the whole screen into target (resized to the screen's size).
void compose_screen(Surface& target);
// Composes and hands the screen to the backend when it differs from what
// was shown last. Called whenever the program waits, sleeps, opens a modal
// loop or shows the busy cursor.
void present_screen();
// Forgets the last frame, so the next present_screen always presents.
void reset_screen();

}  // namespace platform::user
