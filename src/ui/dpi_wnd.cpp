#include "ui/dpi_wnd.h"

#include <QWidget>

#include "ui/controls.h"
#include "ui/dpi_scale.h"

namespace dashcam {

bool CDPIWnd::Create(const Rect& layoutRect, QWidget* parent, int id, bool visible) {
    if (!owner_ || !parent)
        return false;
    Rect device = layoutRect;
    ToDeviceRect(device);
    owner_->setParent(parent);
    SetControlId(owner_, id);
    owner_->setGeometry(device.toQRect());
    owner_->setVisible(visible);
    return true;
}

} // namespace dashcam
