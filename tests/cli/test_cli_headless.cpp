// dashcam-cfg runs on a machine without the graphical libraries: only the desktop part links them.
#include <gtest/gtest.h>

#include "support/run_process.h"

namespace dashcam {
namespace {

TEST(CfgHeadless, TheCardCommandsLinkNoGraphicalLibrary) {
    const auto cfg = test::RunProgram("/usr/bin/ldd", {DASHCAM_BIN_DIR "/dashcam-cfg"});
    ASSERT_EQ(cfg.status, 0) << cfg.err;
    for (const char* library : {"libQt6Widgets", "libQt6Gui", "libQt6DBus"})
        EXPECT_EQ(cfg.out.find(library), std::string::npos) << library << " in\n" << cfg.out;
    // The desktop part does link them, so the check above looks at the right kind of output.
    EXPECT_NE(test::RunProgram("/usr/bin/ldd", {DASHCAM_BIN_DIR "/dashcam-cfg-desktop"}).out.find("libQt6Widgets"),
              std::string::npos);
}

} // namespace
} // namespace dashcam
