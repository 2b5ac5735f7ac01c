#include "platform/controls/system_classes.h"

#include "platform/controls/combobox.h"
#include "platform/controls/edit.h"
#include "platform/controls/listbox.h"
#include "platform/controls/static_control.h"
#include "platform/user/hooks.h"

#include <iterator>

namespace platform::controls {
namespace {

const user::SystemClass kSystemClasses[] = {
    {WC_EDIT, edit_proc, 0},
    {WC_LISTBOX, listbox_proc, 0},
    {WC_COMBOBOX, combobox_proc, 0},
    {WC_STATIC, static_proc, 0},
};

}  // namespace

void connect_to_window_manager() {
    user::add_system_classes(kSystemClasses, static_cast<int>(std::size(kSystemClasses)));
}

}  // namespace platform::controls
