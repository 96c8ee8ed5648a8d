#pragma once
// What the two popups share: their white body and the client area left inside the outer size they are given.
#include <QSize>

class QDialog;

namespace dashcam {

// The popups are sized by their outer window; the client area is what the usual fixed dialog frame (3 pixels
// on each side) and caption (23 pixels) leave of it.
QSize PopupClientSize(int width, int height);

// White body, transparent label backgrounds, the system's text colour.
void ApplyPopupLook(QDialog& dialog);

} // namespace dashcam
