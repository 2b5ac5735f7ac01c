#include "platform/controls/system_classes.h"

#include "platform/controls/edit.h"
#include "platform/user/hooks.h"

#include <iterator>

namespace platform::controls {
namespace {

const user::SystemClass kSystemClasses[] = {
    {WC_EDIT, edit_proc, 0},
};

}  // namespace

void connect_to_window_manager() {
    user::add_system_classes(kSystemClasses, static_cast<int>(std::size(kSystemClasses)));
}

}  // namespace platform::controls
