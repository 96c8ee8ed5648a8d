#include "ui/r_button_accessible.h"

#include "ui/r_button.h"

namespace dashcam {

CRButtonAccessible::CRButtonAccessible(CRButton* button) : QAccessibleWidget(button, QAccessible::Button) {}

CRButton* CRButtonAccessible::button() const {
    return static_cast<CRButton*>(widget());
}

QAccessible::Role CRButtonAccessible::role() const {
    return button()->latchable() ? QAccessible::PageTab : QAccessible::Button;
}

QAccessible::State CRButtonAccessible::state() const {
    QAccessible::State s = QAccessibleWidget::state();
    if (button()->latchable()) {
        s.checkable = true;
        s.checked = button()->latched();
    }
    s.pressed = button()->state() == CRButton::Pressed;
    return s;
}

QStringList CRButtonAccessible::actionNames() const {
    return QStringList{pressAction()} + QAccessibleWidget::actionNames();
}

void CRButtonAccessible::doAction(const QString& actionName) {
    if (actionName == pressAction() && button()->isEnabled())
        button()->Click();
    else
        QAccessibleWidget::doAction(actionName);
}

void CRButtonAccessible::Install() {
    static const bool installed = [] {
        QAccessible::installFactory([](const QString& className, QObject* object) -> QAccessibleInterface* {
            if (className == QLatin1String(CRButton::staticMetaObject.className()) && object->isWidgetType())
                return new CRButtonAccessible(static_cast<CRButton*>(object));
            return nullptr;
        });
        return true;
    }();
    (void)installed;
}

} // namespace dashcam
