// Sounds: a WAV played from memory and the system beep. Where no audio
// device exists both do nothing; beeps pass the dialog seam, so tests see them.
#pragma once

#include <cstddef>

enum : unsigned {
    SND_SYNC = 0x0,
    SND_ASYNC = 0x1,
    SND_NODEFAULT = 0x2,
    SND_MEMORY = 0x4,
    SND_LOOP = 0x8,
    SND_PURGE = 0x40
};
enum : unsigned { MB_BEEP_OK = 0x0, MB_BEEP_SIMPLE = 0xFFFFFFFF };

// data points at a whole RIFF/WAVE file image (SND_MEMORY). Returns false
// when it is not one; otherwise true, played or (without audio) not.
bool PlaySoundFromMemory(const void* data, size_t size, unsigned flags = SND_ASYNC | SND_MEMORY);
bool MessageBeep(unsigned type = 0);
