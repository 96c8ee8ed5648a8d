#include "ui/memory_surface.h"

namespace dashcam {

bool MemorySurface::Create(int width, int height) {
    if (IsValid() || width <= 0 || height <= 0)
        return false;
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return false;
    image.fill(0);
    image_ = std::move(image);
    width_ = width;
    height_ = height;
    return true;
}

bool MemorySurface::Create(const MemorySurface& /*reference*/, int width, int height) {
    return Create(width, height);
}

void MemorySurface::Release() {
    image_ = QImage();
    width_ = 0;
    height_ = 0;
}

} // namespace dashcam
