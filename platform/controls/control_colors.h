// Platform internal: the colour question a control asks before it paints.
// The DC is first given the system's colours (black text on white, opaque
// background), then the parent answers the WM_CTLCOLOR* message: it may set
// the text colour, background colour and mode on the DC, and returns the
// brush for the control's background. An answer that is not a brush counts
// as the white stock brush.
#pragma once

#include "platform/user/user_types.h"

namespace platform::controls {

// Asks the parent of control; lParam is control.
HBRUSH ask_control_colours(HWND control, HDC dc, UINT message);
// Asks parent about window (a combo box's dropped list asks the combo box's
// parent about itself).
HBRUSH ask_control_colours(HWND parent, HWND window, HDC dc, UINT message);

}  // namespace platform::controls
