#include <cstdio>

#include "cli/cli_commands.h"

namespace dashcam::cli {
int RunScreenshot(const Args&) {
    std::fputs("dashcam-cfg: screenshot is not built yet\n", stderr);
    return 1;
}
} // namespace dashcam::cli
