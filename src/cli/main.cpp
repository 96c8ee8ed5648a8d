// dashcam-cfg: the editor's card operations for scripts.
#include <cstdio>
#include <cstring>
#include <string>

#include "cli/cli_commands.h"

namespace {

const char* const kUsage =
    "usage: dashcam-cfg COMMAND [ARGS...]\n"
    "\n"
    "commands:\n"
    "  show CARD [--json]                    every interpreted field of the card's settings\n"
    "  get CARD FIELD                        one field's value\n"
    "  set CARD FIELD=VALUE... [--force]     set fields and save setup.cfg as the editor's Save does\n"
    "  restore-defaults CARD                 load default.cfg (keeping the retained fields) and save it\n"
    "  clock CARD --at \"YYYY-MM-DD HH:MM:SS\" | --now | --off\n"
    "                                        write or delete the clock request time.dat\n"
    "  diff FILE_A FILE_B                    the interpreted fields that differ between two settings files\n"
    "  languages CARD [--json]               what the card's lang/ver.dat says\n"
    "  text KEY [--lang NAME] [--section NAME] [--lang-file PATH] | --list-languages\n"
    "                                        an interface text as the editor looks it up\n"
    "  screenshot CARD OUT.png [--page memory|record|system] [--lang NAME] [--scroll PIXELS]\n"
    "                                        render the editor window on a card to a PNG\n"
    "  format CARD [--yes] [--json]          format the card's volume, keeping the camera's files\n"
    "  zones [--json]                        the host's time zones for set CARD timeZone=KEY\n"
    "  touch-calibration CARD                ask the camera to recalibrate its touch screen\n"
    "\n"
    "CARD is the card folder. Exit status: 0 success, 1 the operation failed, 2 usage error.\n"
    "'dashcam-cfg COMMAND --help' describes one command.\n";

} // namespace

namespace dashcam::cli {

bool WantsHelp(const Args& args) {
    for (const std::string& a : args)
        if (a == "--help" || a == "-h")
            return true;
    return false;
}

} // namespace dashcam::cli

int main(int argc, char** argv) {
    using namespace dashcam::cli;
    if (argc < 2) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    std::string command = argv[1];
    Args args(argv + 2, argv + argc);
    if (command == "--help" || command == "-h" || command == "help") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    struct Entry {
        const char* name;
        int (*run)(const Args&);
    };
    const Entry commands[] = {
        {"show", RunShow},           {"get", RunGet},   {"set", RunSet},
        {"restore-defaults", RunRestoreDefaults},       {"clock", RunClock},
        {"diff", RunDiff},           {"languages", RunLanguages},
        {"text", RunText},           {"screenshot", RunScreenshot}, {"format", RunFormat},
        {"zones", RunZones}, {"touch-calibration", RunTouchCalibration},
    };
    for (const Entry& e : commands)
        if (command == e.name)
            return e.run(args);
    std::fprintf(stderr, "dashcam-cfg: unknown command '%s'\n\n%s", command.c_str(), kUsage);
    return 2;
}
