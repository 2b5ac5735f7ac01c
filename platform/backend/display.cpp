#include "platform/backend/display.h"

#include "platform/backend/backend.h"

namespace platform {

bool choose_display(Display display) {
    return backend::select(display == Display::Window ? backend::BackendKind::Sdl2 : backend::BackendKind::Headless);
}

}  // namespace platform
