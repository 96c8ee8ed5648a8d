#pragma once
// Mix-in of the skinned controls (CRButton, CRStaticText): creates the control at a rectangle given in layout
// units.
#include "ui/rect.h"

class QWidget;

namespace dashcam {

class CDPIWnd {
public:
    // Converts `layoutRect` to device pixels and makes the owner a child of `parent` at that rectangle, with
    // control id `id`, shown when `visible`. False when there is no owner or no parent.
    bool Create(const Rect& layoutRect, QWidget* parent, int id, bool visible = true);

    QWidget* owner() const { return owner_; }

protected:
    CDPIWnd() = default;
    ~CDPIWnd() = default;
    // The control's constructor names itself as the owner.
    void setOwner(QWidget* owner) { owner_ = owner; }

private:
    QWidget* owner_ = nullptr;
};

} // namespace dashcam
