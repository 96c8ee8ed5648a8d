#pragma once
// The run functions of the commands that need the editor's window or the desktop's disk service.
#include "cli/command.h"

namespace dashcam::cli {

int RunScreenshot(Invocation& call); // screenshot_command.cpp
int RunFormat(Invocation& call);     // format_command.cpp

} // namespace dashcam::cli
