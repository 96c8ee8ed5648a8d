#include "ui/dpi_scale.h"

#include <cstdint>
#include <cstdlib>
#include <limits>

namespace dashcam {

DpiScale& Scale() {
    static DpiScale scale;
    return scale;
}

int MulDiv(int number, int numerator, int denominator) {
    if (denominator == 0)
        return -1;
    const std::int64_t product = static_cast<std::int64_t>(number) * numerator;
    const std::int64_t divisor = std::llabs(static_cast<std::int64_t>(denominator));
    const bool negative = (product < 0) != (denominator < 0);
    std::int64_t quotient = (std::llabs(product) + divisor / 2) / divisor;
    if (negative)
        quotient = -quotient;
    if (quotient > std::numeric_limits<int>::max() || quotient < std::numeric_limits<int>::min())
        return -1;
    return static_cast<int>(quotient);
}

void SetScaleFromDpi(int dpi) {
    Scale().percent = MulDiv(dpi, 100, 96);
}

void ResetScale() {
    Scale().percent = 0;
}

int ToDevice(int n) {
    return MulDiv(n, Scale().percent, 100);
}

int ToLogical(int n) {
    return MulDiv(n, 100, Scale().percent);
}

void ToDeviceRect(Rect& rect) {
    rect.left = ToDevice(rect.left);
    rect.top = ToDevice(rect.top);
    rect.right = ToDevice(rect.right);
    rect.bottom = ToDevice(rect.bottom);
}

void ToLogicalRect(Rect& rect) {
    rect.left = ToLogical(rect.left);
    rect.top = ToLogical(rect.top);
    rect.right = ToLogical(rect.right);
    rect.bottom = ToLogical(rect.bottom);
}

} // namespace dashcam
