// Window classes: RegisterClassW and the class record. Classes are looked up
// by name without regard to case; a class has no background brush unless
// one is given.
#pragma once

#include "platform/user/user_types.h"

struct WNDCLASSW {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCWSTR lpszMenuName;
    LPCWSTR lpszClassName;
};

// Returns a non-zero atom, or 0 when the class exists already or the record
// lacks a name or procedure. Extra bytes are not supported and must be 0.
ATOM RegisterClassW(const WNDCLASSW* windowClass);
