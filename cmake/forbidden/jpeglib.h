// Stands in front of the system's jpeglib.h for every layer above the
// platform: JPEG images are read and written through TJPEGImage (Jpeg.h).
#pragma once
#ifdef PLATFORM_PRIVATE_ACCESS
#include_next <jpeglib.h>
#else
#error "libjpeg stays inside platform/ui; use TJPEGImage"
#endif
