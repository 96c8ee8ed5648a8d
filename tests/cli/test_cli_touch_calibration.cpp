// dashcam-cfg touch-calibration: what it refuses. Writing the request goes to the root of a real volume, which a
// test must not touch; the page tests cover the write through a fake volume root.
#include <gtest/gtest.h>

#include "support/run_process.h"

namespace dashcam {
namespace {

TEST(TouchCalibrationCommand, NeedsOneExistingCardFolder) {
    EXPECT_EQ(test::RunProgram("dashcam-cfg", {"touch-calibration"}).status, 2);
    EXPECT_EQ(test::RunProgram("dashcam-cfg", {"touch-calibration", "a", "b"}).status, 2);
    auto r = test::RunProgram("dashcam-cfg", {"touch-calibration", "/nonexistent/card"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("No such file or directory"), std::string::npos);
}

} // namespace
} // namespace dashcam
