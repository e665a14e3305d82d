// Sounds. The program has no audio back end: a valid WAV is accepted and
// left silent, which is what a machine without a sound device does.
#include "Sound.h"

#include <cstring>

#include "DialogSeam.h"

bool PlaySoundFromMemory(const void* data, size_t size, unsigned) {
    if (!data || size < 12) return false;
    const char* p = static_cast<const char*>(data);
    return std::memcmp(p, "RIFF", 4) == 0 && std::memcmp(p + 8, "WAVE", 4) == 0;
}

bool MessageBeep(unsigned type) {
    TDialogSeam::Instance().Beep(type);
    return true;
}
