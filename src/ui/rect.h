#pragma once
// A rectangle by its four edges, right and bottom exclusive, as the layout tables write them
// (left, top, right, bottom).
#include <QRect>

namespace dashcam {

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    QRect toQRect() const { return QRect(left, top, right - left, bottom - top); }
    static Rect fromQRect(const QRect& r) {
        return Rect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
    }
    friend bool operator==(const Rect&, const Rect&) = default;
};

} // namespace dashcam
