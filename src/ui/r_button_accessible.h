#pragma once
// What assistive technology sees of a skinned button: a push button, or a page tab for a button that latches
// (the main window's tabs), named by its caption, with its checked, pressed and disabled states and a press action
// that clicks it as the mouse or Space would.
#include <QAccessibleWidget>

namespace dashcam {

class CRButton;

class CRButtonAccessible : public QAccessibleWidget {
public:
    explicit CRButtonAccessible(CRButton* button);

    QAccessible::Role role() const override;
    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;

    // Makes the toolkit describe every CRButton with this interface; repeated calls do nothing.
    static void Install();

private:
    CRButton* button() const;
};

} // namespace dashcam
