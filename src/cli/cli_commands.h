#pragma once
// The commands of dashcam-cfg. Each takes the words after the command name and returns the exit status:
// 0 success, 1 the operation failed (message on stderr), 2 usage error.
#include <string>
#include <vector>

namespace dashcam::cli {

using Args = std::vector<std::string>;

int RunShow(const Args& args);
int RunGet(const Args& args);
int RunSet(const Args& args);
int RunRestoreDefaults(const Args& args);
int RunClock(const Args& args);
int RunDiff(const Args& args);
int RunLanguages(const Args& args);
int RunText(const Args& args);             // cmd_text.cpp
int RunScreenshot(const Args& args);       // cmd_screenshot.cpp
int RunFormat(const Args& args);           // cmd_format.cpp
int RunZones(const Args& args);            // cmd_zones.cpp
int RunTouchCalibration(const Args& args); // cmd_touch_calibration.cpp

// True when the words ask for help (--help or -h).
bool WantsHelp(const Args& args);

} // namespace dashcam::cli
