// Sound: PlaySoundW for a wave resource of the program, and MessageBeep.
// Played through the backend's audio; silent where there is no audio
// device. A new sound replaces one still playing.
#pragma once

#include "platform/base/win32_types.h"

#define SND_SYNC 0x0000
#define SND_ASYNC 0x0001
#define SND_NODEFAULT 0x0002
#define SND_MEMORY 0x0004
#define SND_NOSTOP 0x0010
#define SND_RESOURCE 0x00040004
#define SND_FILENAME 0x00020000

// Plays the wave resource named sound (SND_RESOURCE; module null or the
// program's); SND_ASYNC returns at once, otherwise the call returns when
// the sound has played. A null sound stops the sound playing. False when
// the resource is missing or not PCM wave data.
BOOL PlaySoundW(LPCWSTR sound, HMODULE module, DWORD flags);
// Plays a short tone; the type (MB_OK, MB_ICONHAND ...) picks its pitch.
BOOL MessageBeep(UINT type);
