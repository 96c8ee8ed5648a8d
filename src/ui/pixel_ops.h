#pragma once
// Block operations on premultiplied ARGB pixels: plain copies that replace the destination (alpha included),
// stretched copies, and source-over blending with the source's own alpha.
#include <QImage>
#include <QRect>

namespace dashcam {

// Copies the w × h block at (sx, sy) of `src` to (dx, dy) of `dst`, replacing it. Parts outside either image
// are left out.
void CopyPixels(QImage& dst, int dx, int dy, int w, int h, const QImage& src, int sx, int sy);
// Stretches the sw × sh block at (sx, sy) of `src` to the dw × dh block at (dx, dy) of `dst` (nearest pixel),
// replacing it. Non-positive sizes draw nothing.
void StretchPixels(QImage& dst, int dx, int dy, int dw, int dh, const QImage& src, int sx, int sy, int sw,
                   int sh);
// Blends the sw × sh block at (sx, sy) of premultiplied `src` over the dw × dh block at (dx, dy) of `dst`
// (stretched when the sizes differ): dst = src + dst × (255 − srcAlpha) / 255, rounded, per channel.
void AlphaBlendPixels(QImage& dst, int dx, int dy, int dw, int dh, const QImage& src, int sx, int sy, int sw,
                      int sh);
// True when every pixel of the 32-bit image `image` has full alpha (a null image is not opaque).
bool IsOpaque(const QImage& image);

} // namespace dashcam
