#include "ui/pixel_ops.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace dashcam {

namespace {

// Source pixel of destination offset i in a stretch of s pixels to d pixels (nearest, as a block stretch
// does).
int SourceIndex(int i, int s, int d) {
    return static_cast<int>((static_cast<long long>(i) * s) / d);
}

// x × a / 255 rounded to nearest, exact for 0 ≤ x, a ≤ 255.
inline unsigned Scale255(unsigned x, unsigned a) {
    const unsigned t = x * a + 128;
    return (t + (t >> 8)) >> 8;
}

inline QRgb Blend(QRgb src, QRgb dst) {
    const unsigned inv = 255 - qAlpha(src);
    const unsigned a = std::min(255u, unsigned(qAlpha(src)) + Scale255(qAlpha(dst), inv));
    const unsigned r = std::min(255u, unsigned(qRed(src)) + Scale255(qRed(dst), inv));
    const unsigned g = std::min(255u, unsigned(qGreen(src)) + Scale255(qGreen(dst), inv));
    const unsigned b = std::min(255u, unsigned(qBlue(src)) + Scale255(qBlue(dst), inv));
    return qRgba(int(r), int(g), int(b), int(a));
}

bool Usable(const QImage& image) {
    return !image.isNull() &&
           (image.format() == QImage::Format_ARGB32_Premultiplied ||
            image.format() == QImage::Format_ARGB32 || image.format() == QImage::Format_RGB32);
}

} // namespace

void CopyPixels(QImage& dst, int dx, int dy, int w, int h, const QImage& src, int sx, int sy) {
    if (w <= 0 || h <= 0 || !Usable(dst) || !Usable(src))
        return;
    const int dstW = dst.width(), dstH = dst.height(), srcW = src.width(), srcH = src.height();
    // Columns that fall inside both images; the rest of the rectangle is clipped away.
    const int first = std::max({0, -dx, -sx});
    const int end = std::min({w, dstW - dx, srcW - sx});
    if (first >= end)
        return;
    for (int row = 0; row < h; ++row) {
        const int ty = dy + row, fy = sy + row;
        if (ty < 0 || ty >= dstH || fy < 0 || fy >= srcH)
            continue;
        QRgb* out = reinterpret_cast<QRgb*>(dst.scanLine(ty));
        const QRgb* in = reinterpret_cast<const QRgb*>(src.constScanLine(fy));
        std::copy(in + sx + first, in + sx + end, out + dx + first);
    }
}

void StretchPixels(QImage& dst, int dx, int dy, int dw, int dh, const QImage& src, int sx, int sy, int sw,
                   int sh) {
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0 || !Usable(dst) || !Usable(src))
        return;
    const int dstW = dst.width(), dstH = dst.height(), srcW = src.width(), srcH = src.height();
    // The skin stretches one column across or repeats rows at their width: those rows are runs of one colour
    // or straight copies, which the general loop below would give pixel by pixel.
    const bool oneColumn = sw == 1, sameWidth = sw == dw;
    const int first = oneColumn ? std::max(0, -dx) : std::max({0, -dx, -sx});
    const int end = oneColumn ? std::min(dw, dstW - dx) : std::min({dw, dstW - dx, srcW - sx});
    for (int row = 0; row < dh; ++row) {
        const int ty = dy + row, fy = sy + SourceIndex(row, sh, dh);
        if (ty < 0 || ty >= dstH || fy < 0 || fy >= srcH)
            continue;
        QRgb* out = reinterpret_cast<QRgb*>(dst.scanLine(ty));
        const QRgb* in = reinterpret_cast<const QRgb*>(src.constScanLine(fy));
        if (oneColumn) {
            if (sx >= 0 && sx < srcW && first < end)
                std::fill(out + dx + first, out + dx + end, in[sx]);
            continue;
        }
        if (sameWidth) {
            if (first < end)
                std::copy(in + sx + first, in + sx + end, out + dx + first);
            continue;
        }
        for (int col = 0; col < dw; ++col) {
            const int tx = dx + col, fx = sx + SourceIndex(col, sw, dw);
            if (tx < 0 || tx >= dstW || fx < 0 || fx >= srcW)
                continue;
            out[tx] = in[fx];
        }
    }
}

void AlphaBlendPixels(QImage& dst, int dx, int dy, int dw, int dh, const QImage& src, int sx, int sy, int sw,
                      int sh) {
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0 || !Usable(dst) || !Usable(src))
        return;
    const QImage source = src.format() == QImage::Format_ARGB32
                              ? src.convertToFormat(QImage::Format_ARGB32_Premultiplied)
                              : src;
    const int dstW = dst.width(), dstH = dst.height(), srcW = source.width(), srcH = source.height();
    // The source column of each destination column is the same on every row: worked out once.
    std::vector<int> columns(static_cast<std::size_t>(dw));
    for (int col = 0; col < dw; ++col)
        columns[static_cast<std::size_t>(col)] = sx + SourceIndex(col, sw, dw);
    for (int row = 0; row < dh; ++row) {
        const int ty = dy + row, fy = sy + SourceIndex(row, sh, dh);
        if (ty < 0 || ty >= dstH || fy < 0 || fy >= srcH)
            continue;
        QRgb* out = reinterpret_cast<QRgb*>(dst.scanLine(ty));
        const QRgb* in = reinterpret_cast<const QRgb*>(source.constScanLine(fy));
        for (int col = 0; col < dw; ++col) {
            const int tx = dx + col, fx = columns[static_cast<std::size_t>(col)];
            if (tx < 0 || tx >= dstW || fx < 0 || fx >= srcW)
                continue;
            const QRgb s = in[fx];
            if (qAlpha(s) == 255)
                out[tx] = s;
            else if (s != 0)
                out[tx] = Blend(s, out[tx]);
        }
    }
}

bool IsOpaque(const QImage& image) {
    if (image.isNull() || image.depth() != 32)
        return false;
    // The window's whole skin is looked at before its first paint: eight pixels at a time, in four
    // independent words, so that the compiler's plain optimisation keeps the loop short.
    constexpr std::uint64_t kAlphas = 0xff000000ff000000ull;
    const int width = image.width();
    for (int y = 0; y < image.height(); ++y) {
        const uchar* line = image.constScanLine(y);
        std::uint64_t a = ~0ull, b = ~0ull, c = ~0ull, d = ~0ull;
        int x = 0;
        for (; x + 8 <= width; x += 8) {
            std::uint64_t w[4];
            std::memcpy(w, line + std::size_t(x) * 4, sizeof w);
            a &= w[0];
            b &= w[1];
            c &= w[2];
            d &= w[3];
        }
        QRgb rest = 0xffffffffu;
        for (; x < width; ++x) {
            QRgb pixel;
            std::memcpy(&pixel, line + std::size_t(x) * 4, sizeof pixel);
            rest &= pixel;
        }
        if (((a & b & c & d) & kAlphas) != kAlphas || qAlpha(rest) != 255)
            return false;
    }
    return true;
}

} // namespace dashcam
