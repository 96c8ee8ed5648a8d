#include "ui/controls.h"

#include <QHash>
#include <QVariant>
#include <QObject>
#include <QWidget>

namespace dashcam {

namespace {
// Ids by widget, looked up far more often than set: a widget leaves the table when it is destroyed.
QHash<const QWidget*, int>& Ids() {
    static QHash<const QWidget*, int> ids;
    return ids;
}
} // namespace

void SetControlId(QWidget* widget, int id) {
    if (!widget)
        return;
    auto& ids = Ids();
    if (!ids.contains(widget))
        QObject::connect(widget, &QObject::destroyed, [widget] { Ids().remove(widget); });
    ids.insert(widget, id);
}

int ControlId(const QWidget* widget) {
    return widget ? Ids().value(widget, 0) : 0;
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
