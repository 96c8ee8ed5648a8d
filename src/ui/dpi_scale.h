#pragma once
// The display scale: one process-wide percentage and the conversions between layout units (pixels at 96 dots
// per inch) and device pixels. Start-up fixes it at 100 % before any window exists.
#include "ui/rect.h"

namespace dashcam {

struct DpiScale {
    int percent = 0; // 100: one layout unit is one device pixel; 0 until SetScaleFromDpi runs
};

// The one scale of the process.
DpiScale& Scale();

// number × numerator / denominator with a 64-bit intermediate, rounded to the nearest integer (halves away
// from zero); -1 when the denominator is 0 or the result does not fit in 32 bits.
int MulDiv(int number, int numerator, int denominator);

// percent = MulDiv(dpi, 100, 96).
void SetScaleFromDpi(int dpi);
// Back to the state before start-up (percent 0), for tests.
void ResetScale();

// Layout units to device pixels: MulDiv(n, percent, 100). 0 before the scale is set.
int ToDevice(int n);
// Device pixels to layout units: MulDiv(n, 100, percent). -1 before the scale is set.
int ToLogical(int n);
// The same for each of left, top, right and bottom, in place.
void ToDeviceRect(Rect& rect);
void ToLogicalRect(Rect& rect);

} // namespace dashcam
