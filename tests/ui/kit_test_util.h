#pragma once
// Shared helpers of the kit's widget tests.
#include <QCoreApplication>
#include <QImage>
#include <QMouseEvent>
#include <QWidget>

#include "ui/memory_surface.h"

namespace dashcam::test {

// Sends one mouse event straight to `widget` at `pos` (its own coordinates).
inline void SendMouse(QWidget* widget, QEvent::Type type, QPoint pos, Qt::MouseButton button = Qt::LeftButton,
                      Qt::MouseButtons buttons = Qt::NoButton) {
    if (type == QEvent::MouseButtonPress)
        buttons |= button;
    if (type == QEvent::MouseMove)
        button = Qt::NoButton;
    QMouseEvent event(type, QPointF(pos), QPointF(widget->mapTo(widget->window(), pos)),
                      QPointF(widget->mapToGlobal(pos)), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

// A parent's background: a gradient, so that a copy from the wrong place shows.
inline void FillPattern(MemorySurface& surface) {
    QImage& img = *surface.Dc();
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y, qRgba(x % 256, y % 256, (x + y) % 256, 255));
}

} // namespace dashcam::test
