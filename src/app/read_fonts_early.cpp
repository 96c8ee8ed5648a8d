// Linked into the programs that open the editor's window. An entry in the program's pre-initialisation array
// starts reading the font configuration (StartFontConfiguration) before the shared libraries run their
// initialisers: that reading, most of what the first font costs, then goes on beside the toolkit's own start
// and is done, or nearly, by the time the window asks for its first font. It needs nothing of the toolkit.
#include "ui/fonts.h"

namespace {

void ReadFontConfigurationEarly(int /*argc*/, char** /*argv*/, char** /*envp*/) {
    dashcam::StartFontConfiguration();
}

[[gnu::used, gnu::section(".preinit_array")]] void (*const kReadFontConfigurationEarly)(int, char**, char**) =
    ReadFontConfigurationEarly;

} // namespace
