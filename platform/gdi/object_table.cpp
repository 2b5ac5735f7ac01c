#include "platform/gdi/object_table.h"
#include "platform/system/memory.h"

#include <unordered_set>

namespace platform::gdi {
namespace {

std::unordered_set<GdiObject*>& table() {
    static std::unordered_set<GdiObject*> objects;
    return objects;
}

}  // namespace

HGDIOBJ register_object(GdiObject* object) {
    table().insert(object);
    return object;
}

GdiObject* lookup_object(HGDIOBJ handle) {
    auto* object = static_cast<GdiObject*>(handle);
    if (handle == nullptr || table().count(object) == 0) return nullptr;
    return object;
}

void destroy_object(GdiObject* object) {
    table().erase(object);
    delete object;
}

int live_object_count(ObjectKind kind) {
    int count = 0;
    for (GdiObject* object : table()) {
        if (object->kind() == kind && !object->is_stock()) ++count;
    }
    return count;
}

int live_object_count() {
    int count = 0;
    for (GdiObject* object : table()) {
        if (!object->is_stock()) ++count;
    }
    return count;
}

}  // namespace platform::gdi

BOOL DeleteObject(HGDIOBJ handle) {
    using namespace platform::gdi;
    GdiObject* object = lookup_object(handle);
    if (object == nullptr || object->is_stock() || object->selected_count() > 0 ||
        object->kind() == ObjectKind::DeviceContext) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    destroy_object(object);
    return TRUE;
}

int GetObjectW(HGDIOBJ handle, int bufferSize, LPVOID buffer) {
    platform::gdi::GdiObject* object = platform::gdi::lookup_object(handle);
    if (object == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    if (buffer != nullptr && platform::allocation_should_fail(platform::AllocKind::Description)) return 0;
    return object->describe(bufferSize, buffer);
}
