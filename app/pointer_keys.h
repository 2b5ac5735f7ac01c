// The stylus and the keys on the main window. A press starts the 300 ms
// press timer; a release while it runs is a tap, which selects the nearest
// place and any related-map link under the stylus and shows the popup. A
// move of more than 6 pixels from where the stylus went down starts a drag,
// which pans the map with the stylus; a press held until the timer fires
// shows the overview frame and selects nothing. The cursor keys pan the
// map 10 pixels and Enter steps the zoom round. Before the maps load
// nothing of this does anything.
#pragma once

#include "platform/win32.h"

// The press timer's identifier and time.
constexpr UINT_PTR PressTimerId = 1;
constexpr UINT PressTimerMs = 300;
// How far the stylus may wander from the press before it drags.
constexpr int DragThreshold = 6;
// How far a tap may lie from a place that it selects, in map pixels.
constexpr int TapRadius = 100;
// How far a cursor key pans, in window pixels.
constexpr int KeyPanStep = 10;

bool OnKeyDown(HWND window, WPARAM wParam, LPARAM lParam);
bool OnLButtonDown(HWND window, WPARAM wParam, LPARAM lParam);
bool OnMouseMove(HWND window, WPARAM wParam, LPARAM lParam);
bool OnTimer(HWND window, WPARAM wParam, LPARAM lParam);
bool OnLButtonUp(HWND window, WPARAM wParam, LPARAM lParam);
