#include "ui/controls.h"

#include <QApplication>
#include <QEvent>
#include <QHash>
#include <QVariant>
#include <QObject>
#include <QWidget>

#include "ui/shared_style.h"

namespace dashcam {

namespace {
// The ids of the widgets that have one, and the widgets under each id: a page finds its controls by id far more
// often than it gives them, and only a few widgets share an id. A widget leaves both when it is destroyed.
struct Registry {
    QHash<const QWidget*, int> ids;
    QMultiHash<int, QWidget*> widgets;
};

Registry& Controls() {
    static Registry registry;
    return registry;
}

bool IsDescendant(const QObject* object, const QObject* ancestor) {
    for (const QObject* p = object ? object->parent() : nullptr; p; p = p->parent())
        if (p == ancestor)
            return true;
    return false;
}

// Of `candidates`, all among `list`, the one that comes first there.
QWidget* FirstIn(const QList<QWidget*>& list, const QList<QWidget*>& candidates) {
    for (QWidget* widget : list)
        if (candidates.contains(widget))
            return widget;
    return nullptr;
}
// Leaves a wheel over an unfocused control to the control's parent: ignored, the window system's wheel travels
// on up the parents.
class FocusedWheelFilter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Wheel || !watched->isWidgetType())
            return false;
        auto* control = static_cast<QWidget*>(watched);
        const QWidget* focus = QApplication::focusWidget();
        if (control->hasFocus() || (focus && control->isAncestorOf(focus)))
            return false;
        event->ignore();
        return true;
    }
};
} // namespace

void WheelOnlyWhenFocused(QWidget* control) {
    if (!control)
        return;
    if (control->focusPolicy() == Qt::WheelFocus)
        control->setFocusPolicy(Qt::StrongFocus);
    // Installing it again on a control that has it only moves it to the front.
    control->installEventFilter(ApplicationShared<FocusedWheelFilter>());
}

void SetControlId(QWidget* widget, int id) {
    if (!widget)
        return;
    Registry& registry = Controls();
    if (const auto it = registry.ids.constFind(widget); it != registry.ids.constEnd()) {
        registry.widgets.remove(*it, widget);
    } else {
        QObject::connect(widget, &QObject::destroyed, [widget] {
            Registry& controls = Controls();
            controls.widgets.remove(controls.ids.take(widget), widget);
        });
    }
    registry.ids.insert(widget, id);
    registry.widgets.insert(id, widget);
}

int ControlId(const QWidget* widget) {
    return widget ? Controls().ids.value(widget, 0) : 0;
}

QWidget* FindControl(const QWidget* parent, int id) {
    if (!parent || id == 0)
        return nullptr;
    QList<QWidget*> direct, deeper;
    const Registry& registry = Controls();
    for (auto it = registry.widgets.constFind(id); it != registry.widgets.cend() && it.key() == id; ++it) {
        if ((*it)->parent() == parent)
            direct.push_back(*it);
        else if (IsDescendant(*it, parent))
            deeper.push_back(*it);
    }
    // Direct children first, then any descendant, each in the order the parent holds them.
    if (direct.size() == 1)
        return direct.front();
    if (!direct.isEmpty())
        return FirstIn(parent->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly), direct);
    if (deeper.size() == 1)
        return deeper.front();
    if (!deeper.isEmpty())
        return FirstIn(parent->findChildren<QWidget*>(), deeper);
    return nullptr;
}

void SetControlText(QWidget* widget, const QString& text) {
    if (!widget)
        return;
    if (widget->metaObject()->indexOfProperty("text") >= 0 && widget->setProperty("text", text))
        return;
    widget->setWindowTitle(text);
}

QString ControlText(const QWidget* widget) {
    if (!widget)
        return {};
    if (widget->metaObject()->indexOfProperty("text") >= 0)
        return widget->property("text").toString();
    return widget->windowTitle();
}

} // namespace dashcam
