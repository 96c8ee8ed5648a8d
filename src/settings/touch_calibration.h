#pragma once
// The camera's touch-screen recalibration request: an empty set_touch_cal.txt at the root of the card's
// volume. The camera looks for it at its next start; its presence is the request.
#include <string>

namespace dashcam {

// Where the request for the card folder `card` goes: the root of the card's volume followed by "set_touch_cal.txt" when the card folder is on
// a removable drive or is itself the root of its volume; otherwise (a folder on one of the computer's own disks)
// the card folder followed by that name. Empty without a card, or on a removable drive whose root is unknown.
std::u16string TouchCalibrationRequestPath(const std::u16string& card);
// Creates the file empty (emptying one that is there), never through a symbolic link. True only when the file was
// made and flushed; `why` gets the reason otherwise.
bool WriteTouchCalibrationRequest(const std::u16string& path, std::string* why = nullptr);

} // namespace dashcam
