#pragma once
// One instance of a style for the whole application: made at the first call, owned by the application object,
// made again for a later application object.
#include <QCoreApplication>
#include <QPointer>
#include <QStyle>

namespace dashcam {

template <class Style> QStyle* SharedStyle() {
    static QPointer<QStyle> style;
    if (!style) {
        style = new Style;
        style->setParent(QCoreApplication::instance());
    }
    return style;
}

} // namespace dashcam
