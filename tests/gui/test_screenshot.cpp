// dashcam-cfg screenshot as a script uses it: the picture of the editor on a card, the card left alone.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>

#include <filesystem>

#include "support/run_process.h"
#include "support/temp_dir.h"

namespace dashcam {
namespace {
namespace fs = std::filesystem;
using test::ReadBytes;
using test::RunProgram;
using test::TempDir;

const QColor kLeaderColour(163, 181, 198);

class Screenshot : public ::testing::Test {
protected:
    void SetUp() override {
        fs::copy(fs::path(DASHCAM_SOURCE_DIR) / "examples/card", card.path() / "card",
                 fs::copy_options::recursive);
    }
    QImage Shoot(const std::vector<std::string>& options, int expectedStatus = 0) {
        std::vector<std::string> args = {"screenshot", (card.path() / "card").string(), out().string()};
        args.insert(args.end(), options.begin(), options.end());
        fs::remove(out());
        const auto r = RunProgram("dashcam-cfg", args);
        EXPECT_EQ(r.status, expectedStatus) << r.err;
        return QImage(QString::fromStdString(out().string()));
    }
    fs::path out() const { return card.path() / "shot.png"; }
    // Rows of column x (window coordinates) painted in the leader-line colour between y0 and y1.
    static std::vector<int> LeaderRows(const QImage& image, int x, int y0, int y1) {
        std::vector<int> rows;
        for (int y = y0; y < y1; ++y)
            if (image.pixelColor(x, y) == kLeaderColour)
                rows.push_back(y);
        return rows;
    }

    TempDir card;
};

TEST_F(Screenshot, EachPageIsTheWholeWindowAndTheCardIsNotWritten) {
    const auto before = ReadBytes(card.path() / "card/setup.cfg");
    const QImage memory = Shoot({});
    const QImage record = Shoot({"--page", "record"});
    const QImage system = Shoot({"--page", "system"});
    for (const QImage* image : {&memory, &record, &system})
        ASSERT_EQ(image->size(), QSize(722, 587));
    EXPECT_NE(memory, record);
    EXPECT_NE(record, system);
    EXPECT_EQ(ReadBytes(card.path() / "card/setup.cfg"), before);
    EXPECT_FALSE(fs::exists(card.path() / "card/time.dat"));
    // The skin around the page is the same on every page; the page's white background differs only inside.
    EXPECT_EQ(memory.pixelColor(5, 300), record.pixelColor(5, 300));
    EXPECT_EQ(record.pixelColor(300, 300).lightness() > 200, true);
}

TEST_F(Screenshot, RecordPageShowsLeaderLinesUpToFifteenPixelsBeforeTheScrollBar) {
    const QImage record = Shoot({"--page", "record"});
    // The page sits at (11, 85); its client area ends at 700 - 17 beside the scroll bar, the lines 15 before.
    const int lastX = 11 + 700 - 17 - 15 - 1;
    const auto rows = LeaderRows(record, 600, 85, 85 + 60); // behind the first section title
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(record.pixelColor(lastX, rows[0]), kLeaderColour);
    EXPECT_NE(record.pixelColor(lastX + 1, rows[0]), kLeaderColour);
    // The Memory card page draws its own the same way, behind "Memory Partition".
    const QImage memory = Shoot({});
    const auto memoryRows = LeaderRows(memory, 600, 85, 85 + 60);
    ASSERT_EQ(memoryRows.size(), 1u);
    EXPECT_EQ(memory.pixelColor(lastX, memoryRows[0]), kLeaderColour);
}

TEST_F(Screenshot, ScrollMovesThePageAndStopsAtItsEnd) {
    const QImage top = Shoot({"--page", "record"});
    const QImage bottom = Shoot({"--page", "record", "--scroll", "561"});
    const QImage beyond = Shoot({"--page", "record", "--scroll", "100000"});
    EXPECT_NE(top, bottom);
    EXPECT_EQ(bottom, beyond);
    // Titles at page y 20, 147, 252, 352, 499, 646 and 793; at the end the page shows 561 … 997, so only the
    // last two lines remain, each as far below its title's top as at the start.
    const auto atTop = LeaderRows(top, 600, 85, 85 + 437);
    ASSERT_EQ(atTop.size(), 4u);
    const int middle = atTop[0] - 85 - 20;
    EXPECT_EQ(LeaderRows(bottom, 600, 85, 85 + 437),
              (std::vector<int>{85 + 646 - 561 + middle, 85 + 793 - 561 + middle}));
}

TEST_F(Screenshot, LanguageAndBadArguments) {
    const QImage english = Shoot({});
    const QImage german = Shoot({"--lang", "german"});
    // Title and tabs change, the rest of the skin does not.
    EXPECT_NE(english.copy(0, 0, 722, 85), german.copy(0, 0, 722, 85));
    EXPECT_EQ(english.copy(0, 100, 11, 400), german.copy(0, 100, 11, 400));
    // Language names are matched without regard to case, as everywhere.
    EXPECT_EQ(Shoot({"--lang", "GERMAN"}), german);

    for (const std::vector<std::string>& bad : {std::vector<std::string>{"--page", "settings"},
                                                {"--lang", "klingon"},
                                                {"--scroll", "-3"},
                                                {"--scroll", "12px"},
                                                {"--scroll"},
                                                {"--colour", "red"}}) {
        Shoot(bad, 2);
        EXPECT_FALSE(fs::exists(out())) << bad[0];
    }
    const auto r = RunProgram("dashcam-cfg", {"screenshot", (card.path() / "none").string(), out().string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(r.err.empty());
    EXPECT_FALSE(fs::exists(out()));
}

TEST_F(Screenshot, ACardWithoutSettingsFilesIsRefusedAtOnce) {
    fs::remove(card.path() / "card/setup.cfg");
    fs::remove(card.path() / "card/default.cfg");
    Shoot({}, 1);
    const auto r = RunProgram("dashcam-cfg", {"screenshot", (card.path() / "card").string(), out().string()});
    EXPECT_NE(r.err.find("no default.cfg :" + (card.path() / "card" / "default.cfg").string()), std::string::npos)
        << r.err;
    EXPECT_FALSE(fs::exists(out()));
}

} // namespace
} // namespace dashcam
