#pragma once
// Text with anti-aliased edges that blends into whatever lies beneath: the text is rendered as premultiplied
// coverage in its colour and blended over the surface.
#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>

#include <optional>

#include "ui/memory_surface.h"
#include "ui/rect.h"

namespace dashcam {

// Size of `text` in `font` as the text is laid out here: the widest line × the number of lines times the cell
// height (see fonts.h). Line breaks count. Measured in `font` itself, the font that the controls draw with (a font
// that differs only in its anti-aliasing has the same advances, but a font engine of its own to make).
QSize MeasureText(const QString& text, const QFont& font);
// The height alone of MeasureText: one cell a line (0 for no text), without laying the text out.
int MeasureTextHeight(const QString& text, const QFont& font);

// `text` in `colour` as premultiplied ARGB: coverage c gives alpha c and each colour channel c × channel /
// 256 (so full coverage of a 255 channel gives 254). Nothing for empty text or a text that measures empty.
std::optional<QImage> RenderTextAlpha(const QString& text, const QFont& font, const QColor& colour);

// Renders `text` and blends it onto `surface` inside `rect`: centred vertically; align 0 starts at the left
// edge, align 1 centres horizontally (an odd difference puts the extra pixel on the left side). Text taller
// or wider than the rectangle starts at its top or left edge. Draws nothing for empty text or an invalid
// surface.
void DrawAlphaText(MemorySurface& surface, const QString& text, const QFont& font, const Rect& rect,
                   const QColor& colour, int align);
// The offset of a tw × th text inside `rect` by the rule above.
QPoint AlphaTextOffset(const Rect& rect, int tw, int th, int align);

} // namespace dashcam
