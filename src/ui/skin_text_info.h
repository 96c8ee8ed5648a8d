#pragma once
// The caption an owner hands to a skinned button or label.
#include <QColor>
#include <QString>

namespace dashcam {

struct SkinTextInfo {
    QString text;
    QColor normalColour;  // normal and disabled states
    QColor hoverColour;   // pointer over the control
    QColor pressedColour; // pressed, or selected (latched)
    int fontHeight = 0;   // font cell height in layout units
    int align = 0;        // 0 = left, top; 1 = centred horizontally and vertically
};

} // namespace dashcam
