#include "platform/system/resources.h"

#include "platform/base/crt.h"

#include <functional>
#include <memory>
#include <string>

namespace platform {
namespace {

const HMODULE kProgramModule = reinterpret_cast<HMODULE>(std::uintptr_t{0x00010000});

// A resource name or type: a number or a text.
struct Key {
    WORD id = 0;
    std::u16string text;

    static Key of(LPCWSTR name) {
        Key key;
        if (IS_INTRESOURCE(name)) {
            key.id = static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name));
        } else {
            key.text = name;
        }
        return key;
    }
    bool matches(LPCWSTR name) const {
        if (name == nullptr) return false;
        if (IS_INTRESOURCE(name)) return text.empty() && id == static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name));
        return !text.empty() && lstrcmpiW(text.c_str(), name) == 0;
    }
};

struct Resource {
    Key type;
    Key name;
    std::vector<std::uint8_t> bytes;
    IconImage icon;  // for icons
};

std::vector<std::unique_ptr<Resource>>& registry() {
    static std::vector<std::unique_ptr<Resource>> resources;
    return resources;
}

Resource* lookup(LPCWSTR type, LPCWSTR name) {
    if (type == nullptr || name == nullptr) return nullptr;
    for (auto& resource : registry()) {
        if (resource->type.matches(type) && resource->name.matches(name)) return resource.get();
    }
    return nullptr;
}

Resource* from_handle(const void* handle) {
    for (auto& resource : registry()) {
        if (resource.get() == handle) return resource.get();
    }
    return nullptr;
}

bool is_program(HMODULE module) { return module == nullptr || module == kProgramModule; }

}  // namespace

void add_resource(LPCWSTR type, LPCWSTR name, std::vector<std::uint8_t> bytes) {
    if (type == nullptr || name == nullptr) return;
    if (Resource* existing = lookup(type, name)) {
        existing->bytes = std::move(bytes);
        return;
    }
    auto resource = std::make_unique<Resource>();
    resource->type = Key::of(type);
    resource->name = Key::of(name);
    resource->bytes = std::move(bytes);
    registry().push_back(std::move(resource));
}

std::size_t resource_extent(const void* p) {
    const auto* at = static_cast<const std::uint8_t*>(p);
    for (const auto& resource : registry()) {
        const std::uint8_t* begin = resource->bytes.data();
        const std::uint8_t* end = begin + resource->bytes.size();
        if (!resource->bytes.empty() && std::less_equal<>{}(begin, at) && std::less<>{}(at, end))
            return static_cast<std::size_t>(end - at);
    }
    return 0;
}

void add_icon(WORD id, int width, int height, const std::vector<std::uint32_t>& argb) {
    if (width <= 0 || height <= 0 || argb.size() != static_cast<std::size_t>(width) * height) return;
    add_resource(RT_ICON, MAKEINTRESOURCEW(id), {});
    Resource* resource = lookup(RT_ICON, MAKEINTRESOURCEW(id));
    resource->icon = IconImage{width, height, argb};
}

const IconImage* icon_image(HICON icon) {
    Resource* resource = from_handle(icon);
    return resource && resource->type.matches(RT_ICON) ? &resource->icon : nullptr;
}

void clear_resources() { registry().clear(); }

}  // namespace platform

using namespace platform;

HMODULE GetModuleHandleW(LPCWSTR moduleName) { return moduleName == nullptr ? kProgramModule : nullptr; }

HRSRC FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type) {
    if (!is_program(module)) return nullptr;
    Resource* resource = lookup(type, name);
    if (resource == nullptr) SetLastError(ERROR_FILE_NOT_FOUND);
    return reinterpret_cast<HRSRC>(resource);
}

HGLOBAL LoadResource(HMODULE module, HRSRC handle) {
    if (!is_program(module)) return nullptr;
    return from_handle(handle);
}

LPVOID LockResource(HGLOBAL data) {
    Resource* resource = from_handle(data);
    return resource ? resource->bytes.data() : nullptr;
}

DWORD SizeofResource(HMODULE module, HRSRC handle) {
    if (!is_program(module)) return 0;
    Resource* resource = from_handle(handle);
    return resource ? static_cast<DWORD>(resource->bytes.size()) : 0;
}

HICON LoadIconW(HINSTANCE instance, LPCWSTR name) {
    if (!is_program(instance)) return nullptr;
    return reinterpret_cast<HICON>(lookup(RT_ICON, name));
}
