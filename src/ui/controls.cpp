#include "ui/controls.h"

#include <QVariant>
#include <QWidget>

namespace dashcam {

namespace {
constexpr const char* kIdProperty = "dashcamControlId";
}

void SetControlId(QWidget* widget, int id) {
    if (widget)
        widget->setProperty(kIdProperty, id);
}

int ControlId(const QWidget* widget) {
    if (!widget)
        return 0;
    const QVariant value = widget->property(kIdProperty);
    return value.isValid() ? value.toInt() : 0;
}

QWidget* FindControl(const QWidget* parent, int id) {
    if (!parent || id == 0)
        return nullptr;
    const auto direct = parent->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    for (QWidget* child : direct)
        if (ControlId(child) == id)
            return child;
    for (QWidget* child : parent->findChildren<QWidget*>())
        if (ControlId(child) == id)
            return child;
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
