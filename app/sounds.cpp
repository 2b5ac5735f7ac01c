#include "app/sounds.h"

#include "platform/win32.h"
#include "resources/resource_ids.h"

void PlayMenuPopSound() { PlaySoundW(ID_MENUPOP_SOUND, GetModuleHandleW(nullptr), SND_RESOURCE | SND_ASYNC); }
