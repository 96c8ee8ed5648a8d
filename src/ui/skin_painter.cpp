#include "ui/skin_painter.h"

#include <functional>
#include <memory>

#include "ui/pixel_ops.h"
#include "ui/png_image.h"

namespace dashcam {

namespace {

std::unique_ptr<SkinPainter>& PainterSlot() {
    static std::unique_ptr<SkinPainter> painter;
    return painter;
}

bool IsBlack(QRgb p) {
    return qRed(p) == 0 && qGreen(p) == 0 && qBlue(p) == 0;
}
bool IsWhite(QRgb p) {
    return qRed(p) == 255 && qGreen(p) == 255 && qBlue(p) == 255;
}

// Index of the first black pixel and the end of its run (the pixel before the first white one after it) along
// a line of `count` pixels. The run only ends when it starts after the first pixel; end stays -1 otherwise.
void MarkerRun(int count, const std::function<QRgb(int)>& pixel, int& first, int& last) {
    first = 0;
    last = -1;
    bool found = false;
    for (int i = 0; i < count; ++i) {
        const QRgb p = pixel(i);
        if (!found) {
            if (IsBlack(p)) {
                first = i;
                found = true;
            }
        } else if (first > 0 && IsWhite(p)) {
            last = i - 1;
            break;
        }
    }
}

// Widens the one marked line of `source` along one direction so that it fills `target` lines; the other lines
// are copied as they are. `horizontal` stretches a column, otherwise a row.
// `out` is all zero on entry; what lies beyond its edges is cut off.
void StretchPass(const QImage& source, QImage& out, int target, const std::vector<int>& marks, bool horizontal,
                 std::vector<int>& stretched) {
    const int s = horizontal ? source.width() : source.height();
    const int across = horizontal ? source.height() : source.width();
    auto copy = [&](int from, int to, int count) {
        if (count <= 0)
            return;
        if (horizontal)
            CopyPixels(out, to, 0, count, across, source, from, 0);
        else
            CopyPixels(out, 0, to, across, count, source, 0, from);
    };
    if (marks.empty()) {
        copy(0, 0, target);
        return;
    }
    if (!horizontal && s == target) {
        copy(0, 0, target);
        return;
    }
    const int m = marks.front();
    const int n = target - s + 1;
    copy(0, 0, m);
    if (n > 0) {
        if (horizontal)
            StretchPixels(out, m, 0, n, across, source, m, 0, 1, across);
        else
            StretchPixels(out, 0, m, across, n, source, 0, m, across, 1);
    }
    stretched.push_back(n);
    // A surface narrower than the fixed parts drops the marked line and lets the rest overlap from the left.
    copy(m + 1, m + n, s - m - 1);
}

} // namespace

SkinPainter& AcquirePainter() {
    auto& slot = PainterSlot();
    if (!slot)
        slot = std::make_unique<SkinPainter>();
    return *slot;
}

void ReleasePainter() {
    PainterSlot().reset();
}

bool PainterExists() {
    return PainterSlot() != nullptr;
}

void SkinPainter::DrawImage(MemorySurface& surface, int id) {
    if (!surface.IsValid())
        return;
    PngImage image;
    if (!image.LoadPng(id))
        return;
    const QImage pixels = image.Premultiplied();
    AlphaBlendPixels(*surface.Dc(), 0, 0, pixels.width(), pixels.height(), pixels, 0, 0, pixels.width(),
                     pixels.height());
}

void SkinPainter::DrawStretchImage(MemorySurface& surface, int id, Rect* contentRect) {
    if (!surface.IsValid())
        return;
    PngImage image;
    if (!image.LoadPng(id))
        return;
    DrawStretchBitmap(surface, image.Bitmap(), contentRect);
}

void SkinPainter::DrawStretchBitmap(MemorySurface& surface, const QImage& bitmap, Rect* contentRect) {
    if (!surface.IsValid() || bitmap.isNull())
        return;
    const QImage frame = bitmap.convertToFormat(QImage::Format_ARGB32);
    stretchX_.clear();
    stretchY_.clear();
    markX_.clear();
    markY_.clear();

    const int w = frame.width(), h = frame.height();
    for (int x = 0; x < w; ++x)
        if (IsBlack(frame.pixel(x, 0)))
            markX_.push_back(x - 1);
    for (int y = 0; y < h; ++y)
        if (IsBlack(frame.pixel(0, y)))
            markY_.push_back(y - 1);
    if (w < 2 || h < 2)
        return;

    // The interior keeps the right marker column and the bottom marker row at its edges; they fall beyond the
    // surface and are cut off at the end.
    const QImage premultiplied = frame.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QImage interior(w - 1, h - 1, QImage::Format_ARGB32_Premultiplied);
    interior.fill(0);
    CopyPixels(interior, 0, 0, w - 1, h - 1, premultiplied, 1, 1);

    std::vector<int> columnMarks, rowMarks;
    for (int m : markX_)
        if (m >= 0 && m < w - 1)
            columnMarks.push_back(m);
    for (int m : markY_)
        if (m >= 0 && m < h - 1)
            rowMarks.push_back(m);

    // The interior is widened to T + 1 columns, then heightened to U + 1 rows straight into the surface, which
    // cuts off the last column and row.
    const int T = surface.Width(), U = surface.Height();
    QImage wide(T + 1, interior.height(), QImage::Format_ARGB32_Premultiplied);
    wide.fill(0);
    StretchPass(interior, wide, T + 1, columnMarks, true, stretchX_);
    surface.Dc()->fill(0);
    StretchPass(wide, *surface.Dc(), U + 1, rowMarks, false, stretchY_);

    if (contentRect)
        *contentRect = ContentRect(frame);
}

Rect SkinPainter::ContentRect(const QImage& frame) const {
    const int w = frame.width(), h = frame.height();
    int top = 0, bottom = -1, left = 0, right = -1;
    MarkerRun(
        h, [&](int y) { return frame.pixel(w - 1, y); }, top, bottom);
    MarkerRun(
        w, [&](int x) { return frame.pixel(x, h - 1); }, left, right);
    int height = bottom - top + 1;
    int width = right - left + 1;
    if (!stretchY_.empty() && stretchY_.size() == markY_.size())
        for (std::size_t i = 0; i < markY_.size(); ++i)
            if (markY_[i] + 1 >= top && markY_[i] + 1 <= bottom)
                height += stretchY_[i];
    if (!stretchX_.empty() && stretchX_.size() == markX_.size())
        for (std::size_t i = 0; i < markX_.size(); ++i)
            if (markX_[i] + 1 >= left && markX_[i] + 1 <= right)
                width += stretchX_[i];
    return Rect{left, top, left + width, top + height};
}

} // namespace dashcam
