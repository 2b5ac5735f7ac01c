// The Win32 subset up to the window manager: everything of win32_drawing.h
// with windows, messages, input, timers, painting and the cursor. The
// platform's own controls are written against it.
#pragma once

#include "platform/win32_drawing.h"
#include "platform/user/user_types.h"
#include "platform/user/window_class.h"
#include "platform/user/windows.h"
#include "platform/user/message_queue.h"
#include "platform/user/timers.h"
#include "platform/user/paint.h"
#include "platform/user/input.h"
#include "platform/user/cursor.h"
#include "platform/user/single_copy.h"
