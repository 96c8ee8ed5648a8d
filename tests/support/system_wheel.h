#pragma once
// A wheel notch as the window system delivers it: into the window's event queue, to the widget under the
// pointer, travelling on to its parents while a widget leaves it. (An event sent straight to a widget neither
// travels on nor gives the focus as the system's wheel does.) Qt Test has no wheel of its own; this is the
// entry that its mouse functions use for the mouse, declared here as the toolkit declares it.
#include <QCoreApplication>
#include <QPoint>
#include <QPointF>
#include <QWidget>
#include <QWindow>

QT_BEGIN_NAMESPACE
class QWindowSystemInterface {
public:
    static bool handleWheelEvent(QWindow* window, const QPointF& local, const QPointF& global, QPoint pixelDelta,
                                 QPoint angleDelta, Qt::KeyboardModifiers mods, Qt::ScrollPhase phase,
                                 Qt::MouseEventSource source);
};
QT_END_NAMESPACE

namespace dashcam::test {

// One notch (delta 120: away from the user; -120: towards) with the pointer at `at` in `over`.
inline void SystemWheel(QWidget* over, QPoint at, int delta) {
    QWidget* window = over->window();
    const QPointF local = over->mapTo(window, QPointF(at));
    QWindowSystemInterface::handleWheelEvent(window->windowHandle(), local, window->mapToGlobal(local), QPoint(),
                                             QPoint(0, delta), Qt::NoModifier, Qt::NoScrollPhase,
                                             Qt::MouseEventNotSynthesized);
    QCoreApplication::processEvents();
}

} // namespace dashcam::test
