#include "platform/controls/system_classes.h"

#include "platform/base/crt.h"
#include "platform/controls/combobox.h"
#include "platform/controls/edit.h"
#include "platform/controls/listbox.h"
#include "platform/controls/static_control.h"
#include "platform/user/window.h"
#include "platform/win32.h"

namespace platform::controls {
namespace {

struct SystemClass {
    const char16_t* name;
    WNDPROC proc;
    UINT style;
};

const SystemClass kSystemClasses[] = {
    {WC_EDIT, edit_proc, 0},
    {WC_LISTBOX, listbox_proc, 0},
    {WC_COMBOBOX, combobox_proc, 0},
    {WC_STATIC, static_proc, 0},
};

}  // namespace

bool register_system_class(LPCWSTR name) {
    if (name == nullptr || IS_INTRESOURCE(name)) return false;
    for (const SystemClass& sc : kSystemClasses) {
        if (lstrcmpiW(sc.name, name) != 0) continue;
        user::WindowClass cls;
        cls.name = sc.name;
        cls.proc = sc.proc;
        cls.style = sc.style;
        cls.background = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        return user::register_class(cls);
    }
    return false;
}

}  // namespace platform::controls
