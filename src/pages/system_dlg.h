#pragma once
// The "System Settings" page.
#include "ui/base_dialog.h"

namespace dashcam {

class CSystemDlg : public CBaseDialog {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 221;
    explicit CSystemDlg(QWidget* parent) : CBaseDialog(kTemplateId, parent) {}
};

} // namespace dashcam
