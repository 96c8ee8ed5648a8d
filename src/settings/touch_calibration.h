#pragma once
// The camera's touch-screen recalibration request: an empty set_touch_cal.txt at the root of the card's
// volume. The camera looks for it at its next start; its presence is the request.
#include <string>

namespace dashcam {

// Root of the volume that holds CardRoot() followed by "set_touch_cal.txt"; empty without a card or when the
// volume is unknown.
std::u16string TouchCalibrationRequestPath();
// Creates the file empty (emptying one that is there). True only when the file was created and closed.
bool WriteTouchCalibrationRequest(const std::u16string& path);

} // namespace dashcam
