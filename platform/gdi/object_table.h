// Platform internal: the table of live GDI objects. A handle is the address
// of its object; every handle coming in from a caller is checked against the
// table before it is used, so a stale or foreign handle is refused.
#pragma once

#include "platform/gdi/objects.h"

namespace platform::gdi {

enum class ObjectKind { Bitmap, Brush, Pen, Font, DeviceContext, Region };

class GdiObject {
public:
    explicit GdiObject(ObjectKind kind) : m_kind(kind) {}
    virtual ~GdiObject() = default;
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    ObjectKind kind() const { return m_kind; }
    // Stock objects are never deleted.
    bool is_stock() const { return m_stock; }
    void make_stock() { m_stock = true; }
    // Number of device contexts the object is selected into.
    int selected_count() const { return m_selected; }
    void add_selection() { ++m_selected; }
    void remove_selection() { --m_selected; }

    // Fills buffer with the object's Win32 description (GetObjectW).
    virtual int describe(int bufferSize, void* buffer) const = 0;

private:
    ObjectKind m_kind;
    bool m_stock = false;
    int m_selected = 0;
};

// Takes ownership of object and returns its handle.
HGDIOBJ register_object(GdiObject* object);
// The live object behind handle, or null (also when it is of another kind).
GdiObject* lookup_object(HGDIOBJ handle);
template <class T>
T* lookup_as(HGDIOBJ handle, ObjectKind kind) {
    GdiObject* object = lookup_object(handle);
    return (object && object->kind() == kind) ? static_cast<T*>(object) : nullptr;
}
// Removes and destroys the object (no checks).
void destroy_object(GdiObject* object);
// Number of live objects of a kind, stock objects excluded; tests use it to
// prove that nothing leaks.
int live_object_count(ObjectKind kind);
// The same for every kind together.
int live_object_count();

}  // namespace platform::gdi
