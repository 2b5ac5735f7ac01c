// The program's resources: icons, button bitmaps, menu bars and the rest,
// drawn and written in this folder as source and handed to the platform's
// resource registry when the program starts.
#pragma once

#include <cstdint>
#include <vector>

// Registers every resource of the program. Call once before the first
// window is made; calling again replaces them with the same.
void RegisterProgramResources();

// The parts of it, one per kind of resource.
void RegisterButtonBitmaps();
void RegisterDialogTemplates();
void RegisterMenuBars();
void RegisterProgramIcon();
void RegisterSounds();

// The bytes of the click sound "MENUPOP", a RIFF WAVE file.
std::vector<std::uint8_t> MakeMenuPopSound();
