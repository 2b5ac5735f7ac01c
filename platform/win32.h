// The Win32 subset the program is written against. This is the only platform
// header the program's own folders include; each API area has its own header
// below.
#pragma once

#include "platform/base/win32_types.h"
#include "platform/base/crt.h"
#include "platform/base/text_convert.h"
#include "platform/gdi/dib_section.h"
#include "platform/gdi/objects.h"
#include "platform/system/files.h"
#include "platform/system/memory.h"
#include "platform/user/user_types.h"
#include "platform/user/window_class.h"
#include "platform/user/windows.h"
#include "platform/user/message_queue.h"
#include "platform/user/timers.h"
#include "platform/user/paint.h"
#include "platform/user/input.h"
#include "platform/user/cursor.h"
#include "platform/user/single_copy.h"
#include "platform/shell/shell_frame.h"
#include "platform/system/resources.h"
#include "platform/system/sound.h"
