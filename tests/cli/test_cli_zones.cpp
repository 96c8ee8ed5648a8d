// dashcam-cfg zones and set timeZone=KEY over this machine's time-zone database.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/run_process.h"
#include "support/temp_dir.h"

namespace dashcam {
namespace {
namespace fs = std::filesystem;
using test::ReadBytes;
using test::RunProgram;

TEST(ZonesCommand, ListsTheCatalogueEastToWest) {
    auto r = RunProgram("dashcam-cfg", {"zones"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::size_t korea = r.out.find("Korea Standard Time\t(UTC+09:00) Seoul\t540\n");
    const std::size_t gmt = r.out.find("\nGMT Standard Time\t(UTC+00:00) ");
    ASSERT_NE(korea, std::string::npos);
    ASSERT_NE(gmt, std::string::npos);
    EXPECT_LT(korea, gmt);
    EXPECT_EQ(r.out.find("\nUTC"), std::string::npos);

    r = RunProgram("dashcam-cfg", {"zones", "--json"});
    ASSERT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("{\"keyName\": \"Korea Standard Time\", \"displayName\": \"(UTC+09:00) Seoul\", "
                         "\"standardName\": \"Korea Standard Time\", \"bias\": 540, \"standardBias\": 0, "
                         "\"daylightBias\": 0, \"standardDate\": [0, 0, 0, 0, 0, 0, 0, 0], "
                         "\"daylightDate\": [0, 0, 0, 0, 0, 0, 0, 0]}"),
              std::string::npos);
    EXPECT_EQ(RunProgram("dashcam-cfg", {"zones", "--csv"}).status, 2);
}

TEST(ZonesCommand, SetStoresTheKeyNameAndBiasOrListsCloseMatches) {
    test::TempDir card;
    fs::copy(fs::path(DASHCAM_SOURCE_DIR) / "examples/card", card.path(), fs::copy_options::recursive);
    const fs::path setup = card.path() / "setup.cfg";
    const auto before = ReadBytes(setup);

    auto r = RunProgram("dashcam-cfg", {"set", card.path().string(), "timeZone=Korea Standrad Time"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("'Korea Standard Time'"), std::string::npos) << r.err;
    EXPECT_EQ(ReadBytes(setup), before);

    r = RunProgram("dashcam-cfg", {"set", card.path().string(), "timeZone=Korea Standard Time"});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto after = ReadBytes(setup);
    const std::string name(after.begin() + 380, after.begin() + 412);
    // The card held "W. Europe Standard Time": nothing of the longer name may remain after the new one.
    EXPECT_EQ(name, std::string("Korea Standard Time") + std::string(13, '\0'));
    EXPECT_EQ(after[372] | after[373] << 8, 540);

    // A part of the display text, when one zone shows it; several are named, and nothing is stored.
    ASSERT_EQ(RunProgram("dashcam-cfg", {"set", card.path().string(), "timeZone=W. Europe Standard Time"}).status, 0);
    r = RunProgram("dashcam-cfg", {"set", card.path().string(), "timeZone=seoul"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadBytes(setup), after);
    r = RunProgram("dashcam-cfg", {"set", card.path().string(), "timeZone=(UTC+09:00)"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("'Tokyo Standard Time' (UTC+09:00) Osaka"), std::string::npos) << r.err;
    EXPECT_EQ(ReadBytes(setup), after);
}

} // namespace
} // namespace dashcam
