// The Win32 subset the program is written against. This is the only platform
// header the program's own folders include (the map databases and the map
// view include its lower part, win32_drawing.h); each API area has its own
// header below.
#pragma once

#include "platform/win32_windows.h"
#include "platform/controls/combobox.h"
#include "platform/controls/edit.h"
#include "platform/controls/listbox.h"
#include "platform/controls/static_control.h"
#include "platform/controls/htmlview.h"
#include "platform/controls/menubar.h"
#include "platform/shell/shell_frame.h"
#include "platform/shell/menu_bar.h"
#include "platform/shell/full_screen.h"
#include "platform/shell/desktop_shortcuts.h"
#include "platform/dialogs/dialog_box.h"
#include "platform/dialogs/message_box.h"
#include "platform/backend/display.h"
