// Platform-only access to an image list's pictures (tool bars, menus).
#pragma once

#include <QImage>

#include "ImgList.h"

inline const QImage& ImageListImage(const TImageList* list, int index) {
    return *static_cast<const QImage*>(list->ImageHandle(index));
}
