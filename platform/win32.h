// The Win32 subset the program is written against. This is the only platform
// header the program's own folders include; each API area has its own header
// below.
#pragma once

#include "platform/base/win32_types.h"
#include "platform/base/crt.h"
#include "platform/base/rect.h"
#include "platform/base/text_convert.h"
#include "platform/base/wsprintf.h"
#include "platform/gdi/blit.h"
#include "platform/gdi/brushes.h"
#include "platform/gdi/clipping.h"
#include "platform/gdi/device_context.h"
#include "platform/gdi/dialog_units.h"
#include "platform/gdi/dib_section.h"
#include "platform/gdi/fonts.h"
#include "platform/gdi/objects.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/text.h"
#include "platform/system/files.h"
#include "platform/system/memory.h"
