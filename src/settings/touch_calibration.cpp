#include "settings/touch_calibration.h"

#include <fstream>

#include "platform/host_system.h"
#include "platform/text_codec.h"
#include "settings/card_files.h"

namespace dashcam {

std::u16string TouchCalibrationRequestPath() {
    if (CardRoot().empty())
        return {};
    const std::u16string root = Host().VolumeRootOf(CardRoot());
    if (root.empty())
        return {};
    return root + u"set_touch_cal.txt";
}

bool WriteTouchCalibrationRequest(const std::u16string& path) {
    if (path.empty())
        return false;
    std::ofstream file(ToFsPath(path), std::ios::binary | std::ios::trunc);
    if (!file.is_open())
        return false;
    file.close();
    return !file.fail();
}

} // namespace dashcam
