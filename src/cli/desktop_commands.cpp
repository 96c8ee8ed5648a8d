// The commands that need the editor's window or the desktop's disk service. They are declared here with the
// others; dashcam-cfg-desktop, installed beside dashcam-cfg, supplies their run functions, and dashcam-cfg hands
// them over to it.
#include "cli/cli_commands.h"
#include "i18n/embedded_languages.h"

namespace dashcam::cli {

std::vector<Command> DesktopCommands() {
    Command screenshot{
        "screenshot",
        "render the editor window on a card to a PNG",
        "Builds the editor window offscreen on the card exactly as start-up does (without the hand-over from a "
        "removable drive), clicks the chosen page's tab or forces the interface language, and writes the 722 x 587 "
        "window to OUT.png. --scroll drags the page's scroll bar to PIXELS (clamped to its range) first. The card is "
        "not written. A card with neither setup.cfg nor default.cfg is refused with \"no default.cfg :\" and the "
        "path, exit 1.",
        {{"CARD", "the card folder", ValueKind::Folder}, {"OUT.png", "the picture to write", ValueKind::File}},
        {{"--page", "PAGE", "the page to show (default: memory)", ValueKind::Choice, {"memory", "record", "system"}},
         {"--lang", "NAME", "the interface language, as 'text --list-languages' names them", ValueKind::Choice,
          {kLanguageNames.begin(), kLanguageNames.end()}},
         {"--scroll", "PIXELS", "scroll the page this far first"}}};
    Command format{
        "format",
        "format the card's volume, keeping the camera's files",
        "Formats the card's volume as the editor's Format button does: setup.cfg, default.cfg and lang/ver.dat are "
        "copied beside this program (or into the local program-copy folder) and read back, the volume is "
        "quick-formatted (FAT32 with 32 KiB clusters; exFAT above 60000 MiB), then the files and the editor are "
        "copied back onto the card and read back. Only a card on a removable drive is formatted. Asks before "
        "formatting; when standard input is not a terminal, --yes must be given instead. Progress goes to standard "
        "error. Exit status 0 only when the card was formatted and every kept file is back on it unchanged.",
        {{"CARD", "the card folder", ValueKind::Folder}},
        {{"--yes", "", "format without asking"},
         {"--json", "", "one JSON object with the volume, file system, cluster size, label, note and failed file"}}};
    return {screenshot, format};
}

} // namespace dashcam::cli
