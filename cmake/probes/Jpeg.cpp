// Must not compile as a unit of app/: libjpeg stays inside platform/ui.
#include <cstdio>

#include <jpeglib.h>

int probeJpeg() { return JPEG_LIB_VERSION; }
