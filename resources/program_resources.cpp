#include "resources/program_resources.h"

void RegisterProgramResources() {
    RegisterButtonBitmaps();
    RegisterMenuBars();
    RegisterProgramIcon();
    RegisterSounds();
}
