#include <cstdio>

#include "cli/cli_commands.h"

namespace dashcam::cli {
int RunText(const Args&) {
    std::fputs("dashcam-cfg: text is not built yet\n", stderr);
    return 1;
}
} // namespace dashcam::cli
