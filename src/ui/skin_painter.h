#pragma once
// The painter of the skin: draws a resource PNG into a surface at its natural size, or as a stretchable image
// that exactly fills the surface.
//
// A stretchable image has a one-pixel frame that is never drawn; only its red, green and blue matter. Black
// (0, 0, 0) pixels in the top row mark stretch columns, in the left column stretch rows. In the right column
// the first run of black pixels, ended by a white (255, 255, 255) one, gives the vertical extent of the
// content area; in the bottom row the same gives its horizontal extent. The program's images have one stretch
// column and one stretch row; with more, only the first of each is stretched.
#include <QImage>

#include <optional>
#include <vector>

#include "ui/memory_surface.h"
#include "ui/rect.h"

namespace dashcam {

class SkinPainter {
public:
    // Draws PNG `id` at (0, 0), natural size, over what the surface holds (the image's own alpha); pixels
    // outside the image stay. Nothing when the surface is invalid or the image cannot be loaded.
    void DrawImage(MemorySurface& surface, int id);
    // Draws PNG `id` stretched to exactly fill the surface, replacing its pixels (alpha included). When
    // `contentRect` is given it receives the image's content rectangle at the surface's size. Nothing when
    // the surface is invalid or the image cannot be loaded.
    void DrawStretchImage(MemorySurface& surface, int id, Rect* contentRect = nullptr);
    // The same for an image already decoded (straight alpha, frame included).
    void DrawStretchBitmap(MemorySurface& surface, const QImage& bitmap, Rect* contentRect = nullptr);

    // Of the last stretchable draw: the number of columns (rows) each stretch mark was widened to.
    const std::vector<int>& stretchX() const { return stretchX_; }
    const std::vector<int>& stretchY() const { return stretchY_; }
    // Interior (frame removed) column and row index of each stretch mark of the last image drawn stretched.
    const std::vector<int>& markX() const { return markX_; }
    const std::vector<int>& markY() const { return markY_; }

private:
    Rect ContentRect(const QImage& frame) const;

    std::vector<int> stretchX_;
    std::vector<int> stretchY_;
    std::vector<int> markX_;
    std::vector<int> markY_;
};

// The one painter of the process, made when there is none. Every drawing operation acquires it and releases
// it before it returns.
SkinPainter& AcquirePainter();
void ReleasePainter();
// Whether the painter exists at the moment.
bool PainterExists();

} // namespace dashcam
