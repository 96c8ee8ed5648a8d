#pragma once
// The declarations of dashcam-cfg's commands, one function per command or group, in the order the overview lists
// them. Each command returns its exit status: 0 success, 1 the operation failed (message on stderr), 2 usage error.
#include <vector>

#include "cli/command.h"

namespace dashcam::cli {

std::vector<Command> CardCommands();    // card_commands.cpp: show, get, set, restore-defaults, clock, diff, languages
std::vector<Command> ProfileCommands(); // profile_commands.cpp: export, apply, fields, cards
Command TextCommand();                  // text_command.cpp
Command ZonesCommand();                 // zones_command.cpp
Command TouchCalibrationCommand();      // touch_calibration_command.cpp
std::vector<Command> DesktopCommands(); // desktop_commands.cpp: screenshot, format (run in dashcam-cfg-desktop)
Command HelpCommand();                  // command_docs.cpp

// All of them, in order.
std::vector<Command> AllCommands();

} // namespace dashcam::cli
