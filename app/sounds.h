// The program's sounds: the click that commands, taps and the dialogs'
// buttons play.
#pragma once

// Starts the click "MENUPOP" and returns at once.
void PlayMenuPopSound();
