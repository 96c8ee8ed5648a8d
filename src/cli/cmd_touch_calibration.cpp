// dashcam-cfg touch-calibration: asks the camera to recalibrate its touch screen at its next start, as the
// System page's calibration button does.
#include <cstdio>

#include "cli/cli_commands.h"
#include "cli/cli_support.h"
#include "platform/text_codec.h"
#include "settings/card_files.h"
#include "settings/touch_calibration.h"

namespace dashcam::cli {
namespace {
const char* const kUsage =
    "usage: dashcam-cfg touch-calibration CARD\n"
    "  Writes the empty request file set_touch_cal.txt to the root of the volume that holds the card folder\n"
    "  (its mount point). The camera recalibrates its touch screen at its next start.\n";
} // namespace

int RunTouchCalibration(const Args& args) {
    if (WantsHelp(args))
        return PrintHelp(kUsage), 0;
    if (args.size() != 1 || args[0].rfind("--", 0) == 0)
        return UsageError("touch-calibration takes one card folder", kUsage);
    if (!CheckCardFolder(args[0]))
        return 1;
    SetCardRoot(CardRootFromArgument(args[0]));
    const std::u16string path = TouchCalibrationRequestPath();
    if (path.empty())
        return Failure("the volume that holds " + args[0] + " is not known");
    if (!WriteTouchCalibrationRequest(path))
        return Failure("could not write " + Utf16ToUtf8(path));
    std::printf("wrote %s\n", Utf16ToUtf8(path).c_str());
    return 0;
}

} // namespace dashcam::cli
