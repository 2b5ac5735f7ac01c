#include "platform/user/window_class.h"

#include "platform/base/crt.h"
#include "platform/gdi/brushes.h"
#include "platform/user/hooks.h"
#include "platform/user/window.h"

#include <memory>
#include <vector>

namespace platform::user {
namespace {

std::vector<std::unique_ptr<WindowClass>>& classes() {
    static std::vector<std::unique_ptr<WindowClass>> table;
    return table;
}

bool same_name(const std::u16string& a, LPCWSTR b) { return lstrcmpiW(a.c_str(), b) == 0; }

std::vector<SystemClass>& system_classes() {
    static std::vector<SystemClass> table;
    return table;
}

}  // namespace

void add_system_classes(const SystemClass* classes, int count) {
    for (int i = 0; i < count; ++i) system_classes().push_back(classes[i]);
}

bool register_system_class(LPCWSTR name) {
    if (name == nullptr || IS_INTRESOURCE(name)) return false;
    for (const SystemClass& sc : system_classes()) {
        if (lstrcmpiW(sc.name, name) != 0) continue;
        WindowClass cls;
        cls.name = sc.name;
        cls.proc = sc.proc;
        cls.style = sc.style;
        cls.background = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        return register_class(cls);
    }
    return false;
}

const WindowClass* find_class(LPCWSTR name) {
    if (name == nullptr || IS_INTRESOURCE(name)) return nullptr;
    for (const auto& cls : classes()) {
        if (same_name(cls->name, name)) return cls.get();
    }
    return nullptr;
}

bool register_class(const WindowClass& cls) {
    if (cls.name.empty() || cls.proc == nullptr || find_class(cls.name.c_str()) != nullptr) return false;
    classes().push_back(std::make_unique<WindowClass>(cls));
    return true;
}

void reset_classes() { classes().clear(); }

}  // namespace platform::user

ATOM RegisterClassW(const WNDCLASSW* wc) {
    using namespace platform::user;
    if (wc == nullptr || wc->lpszClassName == nullptr || IS_INTRESOURCE(wc->lpszClassName) ||
        wc->lpfnWndProc == nullptr || wc->cbClsExtra != 0 || wc->cbWndExtra != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    WindowClass cls;
    cls.name = wc->lpszClassName;
    cls.style = wc->style;
    cls.proc = wc->lpfnWndProc;
    cls.instance = wc->hInstance;
    cls.icon = wc->hIcon;
    cls.cursor = wc->hCursor;
    cls.background = wc->hbrBackground;
    if (!register_class(cls)) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    // Atoms only need to be non-zero and distinct here.
    static ATOM next = 0xC000;
    return next++;
}
