// Where the program's screen goes: a desktop window (SDL2) for the program
// itself, or the headless screen in memory for tests and the script runner.
#pragma once

namespace platform {

enum class Display { Window, Headless };

// Chooses before the first window, sleep or sound; MAPFOLIO_BACKEND
// ("sdl2" or "headless") overrides the choice. False when the screen is
// already running. When no choice is made, the screen is headless.
bool choose_display(Display display);

}  // namespace platform
