// The program's resources: icons, bitmaps, wave sounds, dialog templates
// and menu bars, kept in a registry the program fills at start. Names and
// types are numbers (MAKEINTRESOURCEW) or text compared without regard to
// case.
#pragma once

#include "platform/base/win32_types.h"

#include <cstdint>
#include <vector>

MF_DECLARE_HANDLE(HRSRC);
using HGLOBAL = void*;

#define RT_BITMAP MAKEINTRESOURCEW(2)
#define RT_ICON MAKEINTRESOURCEW(3)
#define RT_MENU MAKEINTRESOURCEW(4)
#define RT_DIALOG MAKEINTRESOURCEW(5)
#define RT_RCDATA MAKEINTRESOURCEW(10)
#define RT_WAVE u"WAVE"

// The program's own module for a null name; no other module exists.
HMODULE GetModuleHandleW(LPCWSTR moduleName);
HRSRC FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type);
HGLOBAL LoadResource(HMODULE module, HRSRC resource);
LPVOID LockResource(HGLOBAL data);
DWORD SizeofResource(HMODULE module, HRSRC resource);
// An icon added with platform::add_icon, or null.
HICON LoadIconW(HINSTANCE instance, LPCWSTR name);

namespace platform {

// Adds or replaces a resource of the program.
void add_resource(LPCWSTR type, LPCWSTR name, std::vector<std::uint8_t> bytes);
// Adds an icon from 32-bit ARGB pixels, rows top first.
void add_icon(WORD id, int width, int height, const std::vector<std::uint32_t>& argb);

struct IconImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> argb;
};
// The pixels behind an icon handle, or null.
const IconImage* icon_image(HICON icon);

// The bytes from p to the end of the resource data that holds p, or 0 when
// p lies in no resource: the bound for reading a resource handed over as a
// bare pointer (a dialog template).
std::size_t resource_extent(const void* p);

// Forgets every resource (tests that start over).
void clear_resources();

}  // namespace platform
