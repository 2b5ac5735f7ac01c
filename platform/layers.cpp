// The platform's layers joined at start-up. A lower layer never includes a
// higher one; where it must reach one, it is handed a hook here, before
// main, the way a shared library's initialiser registers with the ones
// below it. The build links this file whole into every program that uses
// the platform.
#include "platform/controls/system_classes.h"
#include "platform/shell/frame.h"
#include "platform/user/hooks.h"

namespace platform {
namespace {

bool connect_layers() {
    // GDI learns where windows draw, the clock how to show the screen
    // before a pause, the single-copy service how to find and raise this
    // process's windows.
    user::connect_lower_layers();
    // The window manager learns the system classes ("EDIT" ...) and the
    // frame around the screen.
    controls::connect_to_window_manager();
    shell::connect_to_window_manager();
    return true;
}

const bool kConnected = connect_layers();

}  // namespace
}  // namespace platform
