// dashcam-cfg touch-calibration: asks the camera to recalibrate its touch screen at its next start, as the System
// page's calibration button does.
#include "cli/cli_commands.h"
#include "cli/command_support.h"
#include "platform/text_codec.h"
#include "settings/touch_calibration.h"

namespace dashcam::cli {
namespace {

int RunTouchCalibration(Invocation& call) {
    const auto card = OpenCardFolder(call, call.argument(0));
    if (!card)
        return 1;
    const std::u16string path = TouchCalibrationRequestPath(card->root());
    if (path.empty())
        return call.Fail("the volume that holds " + call.argument(0) + " is not known");
    std::string why;
    if (!WriteTouchCalibrationRequest(path, &why))
        return call.Fail("could not write " + Utf16ToUtf8(path) + (why.empty() ? "" : " (" + why + ")"));
    call.Out("wrote " + Utf16ToUtf8(path) + "\n");
    return 0;
}

} // namespace

Command TouchCalibrationCommand() {
    return {"touch-calibration",
            "ask the camera to recalibrate its touch screen",
            "Writes the empty request file set_touch_cal.txt to the root of the card: the root of the volume that "
            "holds the card folder (its mount point; the drive root on Windows) when that is a removable drive or "
            "the folder is that root, otherwise the card folder itself, never the root of one of the computer's own "
            "disks. A symbolic link of that name is refused. The camera recalibrates its touch screen at its next "
            "start.",
            {{"CARD", "the card folder", ValueKind::Folder}},
            {},
            RunTouchCalibration};
}

} // namespace dashcam::cli
