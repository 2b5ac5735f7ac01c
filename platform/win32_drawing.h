// The part of the Win32 subset below the window manager: the types, the C
// runtime helpers, files, memory, modules, the registry, resources, the clock,
// sound and GDI, with the DCs of windows. The map databases and the map view
// include only this, so they build and run without windows, controls or dialogs.
#pragma once

#include "platform/base/win32_types.h"
#include "platform/base/crt.h"
#include "platform/base/rect.h"
#include "platform/base/text_convert.h"
#include "platform/base/wsprintf.h"
#include "platform/system/clock.h"
#include "platform/system/files.h"
#include "platform/system/find_files.h"
#include "platform/system/memory.h"
#include "platform/system/modules.h"
#include "platform/system/registry.h"
#include "platform/system/resources.h"
#include "platform/system/sound.h"
#include "platform/gdi/bitmap_resources.h"
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
#include "platform/gdi/window_dc.h"
