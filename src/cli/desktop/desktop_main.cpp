// dashcam-cfg-desktop: dashcam-cfg with the commands that need the editor's window (screenshot) or the desktop's
// disk service (format). dashcam-cfg hands those commands over to it; it runs the others as dashcam-cfg does.
#include "cli/command_line.h"
#include "cli/desktop/desktop_commands.h"
#include "cli/program_main.h"
#ifndef _WIN32
#include "platform/posix/qt_time_zone_source.h"
#endif

int main(int argc, char** argv) {
#ifndef _WIN32
    dashcam::InstallSystemTimeZones();
#endif
    dashcam::cli::ProvideRun("screenshot", dashcam::cli::RunScreenshot);
    dashcam::cli::ProvideRun("format", dashcam::cli::RunFormat);
    return dashcam::cli::ProgramMain(argc, argv);
}
