// dashcam-cfg: the editor's card operations for scripts. The commands are in the dashcam_cli library; the
// desktop ones run in dashcam-cfg-desktop.
#include "cli/program_main.h"

#ifdef DASHCAM_SYSTEM_TIME_ZONES
#include "platform/posix/qt_time_zone_source.h"
#endif

int main(int argc, char** argv) {
#ifdef DASHCAM_SYSTEM_TIME_ZONES
    // The host's zones for zones and set's timeZone=KEY, from the system's time-zone database.
    dashcam::InstallSystemTimeZones();
#endif
    return dashcam::cli::ProgramMain(argc, argv);
}
