#include "ui/alpha_text.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStringList>

#include <algorithm>

#include "ui/fonts.h"
#include "ui/pixel_ops.h"

namespace dashcam {

namespace {

QStringList Lines(const QString& text) {
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& line : lines)
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    return lines;
}

QFont GreyscaleFont(const QFont& font) {
    QFont f = font;
    f.setStyleStrategy(QFont::StyleStrategy(f.styleStrategy() | QFont::NoSubpixelAntialias));
    return f;
}

} // namespace

QSize MeasureText(const QString& text, const QFont& font) {
    if (text.isEmpty())
        return QSize(0, 0);
    const QFontMetrics metrics(font);
    const QStringList lines = Lines(text);
    int width = 0;
    for (const QString& line : lines)
        width = std::max(width, metrics.horizontalAdvance(line));
    return QSize(width, MeasureTextHeight(text, font));
}

int MeasureTextHeight(const QString& text, const QFont& font) {
    return text.isEmpty() ? 0 : static_cast<int>(Lines(text).size()) * CellHeight(font);
}

std::optional<QImage> RenderTextAlpha(const QString& text, const QFont& font, const QColor& colour) {
    if (text.isEmpty())
        return std::nullopt;
    const QFont f = GreyscaleFont(font);
    const QSize size = MeasureText(text, f);
    if (size.width() <= 0 || size.height() <= 0)
        return std::nullopt;

    // White on opaque black: the blue byte of each pixel is the glyph's coverage there.
    QImage coverage(size, QImage::Format_RGB32);
    coverage.fill(Qt::black);
    {
        QPainter painter(&coverage);
        painter.setFont(f);
        painter.setPen(Qt::white);
        const int cell = CellHeight(f), ascent = CellAscent(f);
        const QStringList lines = Lines(text);
        for (int i = 0; i < lines.size(); ++i)
            painter.drawText(0, i * cell + ascent, lines[i]);
    }

    QImage out(size, QImage::Format_ARGB32_Premultiplied);
    const unsigned r = unsigned(colour.red()), g = unsigned(colour.green()), b = unsigned(colour.blue());
    for (int y = 0; y < size.height(); ++y) {
        const QRgb* in = reinterpret_cast<const QRgb*>(coverage.constScanLine(y));
        QRgb* px = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const unsigned c = unsigned(qBlue(in[x]));
            px[x] = qRgba(int((c * r) >> 8), int((c * g) >> 8), int((c * b) >> 8), int(c));
        }
    }
    return out;
}

QPoint AlphaTextOffset(const Rect& rect, int tw, int th, int align) {
    const int dy = std::max(0, (rect.height() - th) / 2);
    int dx = 0;
    if (align == 1) {
        const int d = rect.width() - tw;
        dx = (d % 2 == 0) ? d / 2 : d / 2 + 1;
        dx = std::max(0, dx);
    }
    return QPoint(dx, dy);
}

void DrawAlphaText(MemorySurface& surface, const QString& text, const QFont& font, const Rect& rect,
                   const QColor& colour, int align) {
    if (!surface.IsValid())
        return;
    const std::optional<QImage> bitmap = RenderTextAlpha(text, font, colour);
    if (!bitmap)
        return;
    const int tw = bitmap->width(), th = bitmap->height();
    const QPoint offset = AlphaTextOffset(rect, tw, th, align);
    AlphaBlendPixels(*surface.Dc(), rect.left + offset.x(), rect.top + offset.y(), tw, th, *bitmap, 0, 0, tw,
                     th);
}

} // namespace dashcam
