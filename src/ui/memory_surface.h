#pragma once
// An off-screen drawing surface of a fixed size: 32-bit premultiplied ARGB pixels, all zero when created.
#include <QImage>

namespace dashcam {

class MemorySurface {
public:
    MemorySurface() = default;
    MemorySurface(const MemorySurface&) = delete;
    MemorySurface& operator=(const MemorySurface&) = delete;
    ~MemorySurface() { Release(); }

    // Makes the surface width × height. When it already exists nothing changes and the result is false; false
    // also when the size is not positive.
    bool Create(int width, int height);
    // The same, for a surface meant to be copied to or from `reference` (its format is the same everywhere).
    bool Create(const MemorySurface& reference, int width, int height);
    // Drops the pixels; the surface can then be created again at another size.
    void Release();

    bool IsValid() const { return !image_.isNull(); }
    // The pixels to draw into; null when the surface does not exist.
    QImage* Dc() { return IsValid() ? &image_ : nullptr; }
    const QImage* Dc() const { return IsValid() ? &image_ : nullptr; }
    int Width() const { return width_; }
    int Height() const { return height_; }

private:
    QImage image_;
    int width_ = 0;
    int height_ = 0;
};

} // namespace dashcam
