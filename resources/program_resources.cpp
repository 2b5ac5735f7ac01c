#include "resources/program_resources.h"

void RegisterProgramResources() {
    RegisterButtonBitmaps();
    RegisterDialogTemplates();
    RegisterMenuBars();
    RegisterProgramIcon();
    RegisterSounds();
}
