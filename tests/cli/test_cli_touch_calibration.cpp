// dashcam-cfg touch-calibration: what it refuses, and that the request lands on the card only. A card folder on one
// of the computer's own disks (a temporary folder here) takes the request itself, never the root of that disk.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/run_process.h"
#include "support/temp_dir.h"

namespace dashcam {
namespace {
namespace fs = std::filesystem;

TEST(TouchCalibrationCommand, NeedsOneExistingCardFolder) {
    EXPECT_EQ(test::RunProgram("dashcam-cfg", {"touch-calibration"}).status, 2);
    EXPECT_EQ(test::RunProgram("dashcam-cfg", {"touch-calibration", "a", "b"}).status, 2);
    auto r = test::RunProgram("dashcam-cfg", {"touch-calibration", "/nonexistent/card"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("No such file or directory"), std::string::npos);
}

#ifndef _WIN32
TEST(TouchCalibrationCommand, WritesIntoAPlainFolderAndNeverThroughALink) {
    test::TempDir card, elsewhere;
    auto r = test::RunProgram("dashcam-cfg", {"touch-calibration", card.path().string()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "wrote " + (card / "set_touch_cal.txt").string() + "\n");
    EXPECT_EQ(fs::file_size(card / "set_touch_cal.txt"), 0u);

    fs::remove(card / "set_touch_cal.txt");
    test::WriteText(elsewhere / "victim", "keep me");
    fs::create_symlink(elsewhere / "victim", card / "set_touch_cal.txt");
    r = test::RunProgram("dashcam-cfg", {"touch-calibration", card.path().string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("symbolic link"), std::string::npos) << r.err;
    EXPECT_EQ(test::ReadText(elsewhere / "victim"), "keep me");
}
#endif

} // namespace
} // namespace dashcam
