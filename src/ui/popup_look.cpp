#include "ui/popup_look.h"

#include <QDialog>
#include <QPalette>

#include <algorithm>

namespace dashcam {
namespace {
constexpr int kFrame = 3;
constexpr int kCaption = 23;
} // namespace

QSize PopupClientSize(int width, int height) {
    return QSize(std::max(1, width - 2 * kFrame), std::max(1, height - kCaption - 2 * kFrame));
}

void ApplyPopupLook(QDialog& dialog) {
    QPalette palette = dialog.palette();
    palette.setColor(QPalette::Window, Qt::white);
    palette.setColor(QPalette::Base, Qt::white);
    dialog.setPalette(palette);
    dialog.setAutoFillBackground(true);
}

} // namespace dashcam
