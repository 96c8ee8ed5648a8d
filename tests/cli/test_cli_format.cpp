// dashcam-cfg format refuses what it must refuse, before touching anything.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/run_process.h"
#include "support/temp_dir.h"

namespace dashcam {
namespace {
namespace fs = std::filesystem;

TEST(FormatCommand, RefusesWithoutYesOffATerminalAndOffARemovableDrive) {
    test::TempDir card;
    fs::copy(fs::path(DASHCAM_SOURCE_DIR) / "examples/card", card.path(), fs::copy_options::recursive);
    const auto before = test::ReadBytes(card / "setup.cfg");

    auto r = test::RunProgram("dashcam-cfg", {"format", card.path().string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("--yes"), std::string::npos) << r.err;
    // A script that asked for JSON gets it for every failure.
    for (const std::string& folder : {card.path().string(), (card / "missing").string()}) {
        r = test::RunProgram("dashcam-cfg", {"format", folder, "--json"});
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out.rfind("{\"formatted\": false, ", 0), 0u) << r.out;
        EXPECT_NE(r.out.find("\"error\": \"" + r.err.substr(13, r.err.size() - 14) + "\"}\n"), std::string::npos)
            << r.out << r.err;
    }

    // A temporary folder is not on a removable drive: nothing happens, and that is no success.
    r = test::RunProgram("dashcam-cfg", {"format", card.path().string(), "--yes", "--json"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("is not a memory card"), std::string::npos) << r.err;
    EXPECT_EQ(test::ReadBytes(card / "setup.cfg"), before);
    EXPECT_TRUE(fs::exists(card / "lang" / "ver.dat"));
}

} // namespace
} // namespace dashcam
