// dashcam-cfg on real card folders, as a script would use it.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/run_process.h"
#include "support/temp_dir.h"

namespace dashcam {
namespace {
namespace fs = std::filesystem;
using test::ReadBytes;
using test::RunProgram;
using test::TempDir;

std::vector<std::uint8_t> SampleSetup() { return ReadBytes(fs::path(DASHCAM_SOURCE_DIR) / "examples/card/setup.cfg"); }

class CardCommands : public ::testing::Test {
protected:
    void SetUp() override {
        fs::copy(fs::path(DASHCAM_SOURCE_DIR) / "examples/card", card.path(), fs::copy_options::recursive);
    }
    test::ProcessResult Cfg(std::vector<std::string> args) { return RunProgram("dashcam-cfg", args); }
    std::string Card() const { return card.path().string(); }
    TempDir card;
};

std::uint32_t U32At(const std::vector<std::uint8_t>& b, std::size_t o) {
    return b[o] | b[o + 1] << 8 | b[o + 2] << 16 | static_cast<std::uint32_t>(b[o + 3]) << 24;
}

TEST_F(CardCommands, ShowAndGetPrintTheFields) {
    auto r = Cfg({"show", Card()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("recordLength = 572\n"), std::string::npos);
    EXPECT_NE(r.out.find("productName = \"KESTRAVON Z910\"\n"), std::string::npos);
    EXPECT_NE(r.out.find("timeZoneBias = 60\n"), std::string::npos);
    r = Cfg({"show", Card() + "/", "--json"});
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.out.front(), '{');
    EXPECT_NE(r.out.find("\"recordTimerHours\": 24"), std::string::npos);
    r = Cfg({"get", Card(), "timeZoneName"});
    EXPECT_EQ(r.out, "W. Europe Standard Time\n");
    EXPECT_EQ(Cfg({"get", Card(), "noSuchField"}).status, 2);
    EXPECT_EQ(Cfg({"frobnicate"}).status, 2);
    EXPECT_EQ(Cfg({"show", Card(), "--xml"}).status, 2);
    EXPECT_EQ(Cfg({"show", "--help"}).status, 0);
}

TEST_F(CardCommands, LoadingFallsBackToDefaultsAndFailsWithoutEither) {
    fs::remove(card / "setup.cfg");
    auto r = Cfg({"get", Card(), "recordTimerHours"});
    EXPECT_EQ(r.out, "12\n"); // the factory value
    fs::remove(card / "default.cfg");
    r = Cfg({"show", Card()});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("no default.cfg :"), std::string::npos);
    EXPECT_EQ(Cfg({"show", Card() + "/missing"}).status, 1);
    EXPECT_EQ(Cfg({"show", (card / "lang" / "ver.dat").string()}).status, 1);

    // A setup.cfg that is there but cannot be read is an error, never a reason to save the defaults over it.
    fs::copy(fs::path(DASHCAM_SOURCE_DIR) / "examples/card/default.cfg", card / "default.cfg");
    fs::create_directory(card / "setup.cfg");
    r = Cfg({"set", Card(), "recordTimerHours=48"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("setup.cfg cannot be read"), std::string::npos) << r.err;
    EXPECT_TRUE(fs::is_directory(card / "setup.cfg"));
}

TEST_F(CardCommands, SetSavesLikeTheEditorAndRefusesWhatNoControlStores) {
    auto r = Cfg({"set", Card(), "recordTimerHours=48", "motionSensitivity=5", "timeZoneName=Tokyo Standard Time"});
    ASSERT_EQ(r.status, 0) << r.err;
    auto saved = ReadBytes(card / "setup.cfg");
    auto before = SampleSetup();
    EXPECT_EQ(U32At(saved, 200), 48u);
    EXPECT_EQ(U32At(saved, 196), 5u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&saved[380])), "Tokyo Standard Time");
    for (std::size_t i : {24u, 45u, 300u, 560u})
        EXPECT_EQ(saved[i], before[i]);

    for (const char* refused : {"motionSensitivity=2", "recordTimerHours=36", "continuousImpactSensitivity=9",
                                "memoryPartition=0", "lcdAutoOffMs=5", "deviceLanguage=9"}) {
        r = Cfg({"set", Card(), refused});
        EXPECT_EQ(r.status, 2) << refused;
        EXPECT_NE(r.err.find("refused"), std::string::npos) << refused;
    }
    EXPECT_EQ(ReadBytes(card / "setup.cfg"), saved);
    EXPECT_EQ(Cfg({"set", Card(), "recordLength=3"}).status, 2);
    EXPECT_EQ(Cfg({"set", Card(), "parkingMode=abc"}).status, 2);
    EXPECT_EQ(Cfg({"set", Card(), "parkingMode=-1", "--force"}).status, 2);
    EXPECT_EQ(Cfg({"set", Card(), "timeZoneName=" + std::string(33, 'x')}).status, 2);
    // An overlong UTF-8 form of NUL is not a character of the record's code page.
    EXPECT_EQ(Cfg({"set", Card(), std::string("timeZoneName=AB\xC0\x80" "CD")}).status, 2);
    r = Cfg({"set", Card(), "recordTimerHours=36", "--force"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(U32At(ReadBytes(card / "setup.cfg"), 200), 36u);
    // The language index is checked against the card's list: six languages.
    EXPECT_EQ(Cfg({"set", Card(), "deviceLanguage=5"}).status, 0);
    // After "--" everything is an operand.
    EXPECT_EQ(Cfg({"set", "--", Card(), "recordTimerHours=6"}).status, 0);
    EXPECT_EQ(U32At(ReadBytes(card / "setup.cfg"), 200), 6u);
}

TEST_F(CardCommands, LongerFileKeepsItsTailAndFailedSaveChangesNothing) {
    auto image = SampleSetup();
    image.resize(600);
    for (std::size_t i = 572; i < 600; ++i)
        image[i] = static_cast<std::uint8_t>(i);
    test::WriteBytes(card / "setup.cfg", image);
    ASSERT_EQ(Cfg({"set", Card(), "parkingMode=0"}).status, 0);
    auto saved = ReadBytes(card / "setup.cfg");
    ASSERT_EQ(saved.size(), 600u);
    EXPECT_TRUE(std::equal(saved.begin() + 572, saved.end(), image.begin() + 572));
    EXPECT_EQ(U32At(saved, 180), 0u);

    // setup.cfg replaced by a folder: the editor's load takes default.cfg, and the save must fail cleanly.
    fs::remove(card / "setup.cfg");
    fs::create_directory(card / "setup.cfg");
    auto listing = [&] {
        std::vector<std::string> names;
        for (auto& e : fs::recursive_directory_iterator(card.path()))
            names.push_back(e.path().string());
        std::sort(names.begin(), names.end());
        return names;
    };
    auto filesBefore = listing();
    auto r = Cfg({"set", Card(), "parkingMode=1"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("setup.cfg"), std::string::npos);
    EXPECT_EQ(listing(), filesBefore);
}

TEST_F(CardCommands, RestoreDefaultsKeepsTheRetainedFields) {
    auto setup = SampleSetup();
    ASSERT_EQ(Cfg({"restore-defaults", Card()}).status, 0);
    auto saved = ReadBytes(card / "setup.cfg");
    auto defaults = ReadBytes(card / "default.cfg");
    EXPECT_EQ(U32At(saved, 200), 12u);
    EXPECT_TRUE(std::equal(saved.begin() + 40, saved.begin() + 50, setup.begin() + 40));
    EXPECT_EQ(U32At(saved, 224), U32At(setup, 224));
    EXPECT_NE(U32At(defaults, 224), U32At(setup, 224));

    fs::remove(card / "default.cfg");
    auto r = Cfg({"restore-defaults", Card()});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("no default.cfg :" + Card() + "/default.cfg"), std::string::npos);
    EXPECT_EQ(ReadBytes(card / "setup.cfg"), saved);
}

// default.cfg has no zone: the restored record gets the PC's, as the editor's Initialize gives it, and a PC set to
// a zone the editor does not list (UTC, Turkey) gets a zone of its own offset.
TEST_F(CardCommands, RestoreDefaultsGivesTheRecordThePcsZone) {
    const struct {
        const char* tz;
        std::string key;
        std::uint32_t bias;
    } cases[] = {{"TZ=Asia/Seoul", "Korea Standard Time", 540u},
                 {"TZ=UTC", "GMT Standard Time", 0u},
                 {"TZ=Europe/Istanbul", "Arab Standard Time", 180u}};
    for (const auto& c : cases) {
        auto r = RunProgram("dashcam-cfg", {"restore-defaults", Card()}, {c.tz});
        ASSERT_EQ(r.status, 0) << r.err;
        const auto saved = ReadBytes(card / "setup.cfg");
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(saved.data()) + 380), c.key) << c.tz;
        EXPECT_EQ(U32At(saved, 372), c.bias) << c.tz;
        // The next restore starts from a record that has a zone again: give it back none.
        fs::copy_file(card / "default.cfg", card / "setup.cfg", fs::copy_options::overwrite_existing);
    }
}

TEST_F(CardCommands, ClockWritesOrDeletesTheRequest) {
    auto r = RunProgram("dashcam-cfg", {"clock", Card(), "--at", "2014-05-06 13:45:07"}, {"TZ=Asia/Tokyo"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(test::ReadText(card / "time.dat"), "2014,05,06,13,45,07,+0900");
    r = RunProgram("dashcam-cfg", {"clock", Card(), "--at", "2014-07-06 13:45:07"}, {"TZ=America/New_York"});
    EXPECT_EQ(test::ReadText(card / "time.dat"), "2014,07,06,13,45,07,-0500");
    EXPECT_EQ(Cfg({"clock", Card(), "--at", "2014-02-30 10:00:00"}).status, 2);
    EXPECT_EQ(Cfg({"clock", Card(), "--at", "now"}).status, 2);
    EXPECT_EQ(Cfg({"clock", Card()}).status, 2);
    EXPECT_EQ(Cfg({"clock", Card(), "--now"}).status, 0);
    EXPECT_EQ(test::ReadText(card / "time.dat").size(), 25u);
    EXPECT_EQ(Cfg({"clock", Card(), "--off"}).status, 0);
    EXPECT_FALSE(fs::exists(card / "time.dat"));
}

TEST_F(CardCommands, DiffAndLanguages) {
    auto r = Cfg({"diff", (card / "setup.cfg").string(), (card / "default.cfg").string()});
    ASSERT_EQ(r.status, 1); // they differ, as diff(1) says
    EXPECT_NE(r.out.find("recordTimerHours: 24 -> 12\n"), std::string::npos);
    EXPECT_NE(r.out.find("not-interpreted bytes differing: 0\n"), std::string::npos);
    EXPECT_EQ(r.out.find("productName"), std::string::npos);
    EXPECT_EQ(Cfg({"diff", (card / "setup.cfg").string(), "/nonexistent"}).status, 1);

    r = Cfg({"languages", Card(), "--json"});
    ASSERT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("\"languageCodes\": [\"en\", \"de\", \"fr\", \"es\", \"it\", \"pt\"]"), std::string::npos);
    EXPECT_NE(r.out.find("\"device\": \"Z910\""), std::string::npos);
    fs::remove(card / "lang" / "ver.dat");
    EXPECT_EQ(Cfg({"languages", Card()}).status, 1);
}

} // namespace
} // namespace dashcam
