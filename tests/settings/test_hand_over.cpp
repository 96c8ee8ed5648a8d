// The hand-over from the card to the local program copy.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/host_system.h"
#include "platform/text_codec.h"
#include "settings/hand_over.h"
#include "support/fake_host.h"
#include "support/temp_dir.h"
#include "support/trace_capture.h"

namespace dashcam {
namespace {
using test::TempDir;
namespace fs = std::filesystem;
const std::u16string kSep(1, kPathSeparator);

class HandOver : public ::testing::Test {
protected:
    void SetUp() override {
        ResetHandOver();
        fs::create_directories(card.path() / "my card" / "html" / "css");
        test::WriteText(card.path() / "my card" / "dashcam-setting", "program");
        test::WriteText(card.path() / "my card" / "html" / "css" / "a.css", "css");
        host.modulePath = card.root() + u"my card" + kSep + u"dashcam-setting";
        host.appData = local.root() + u"share";
        fs::create_directories(local.path() / "share");
    }
    TempDir card, local;
    test::FakeHost host;
};

TEST_F(HandOver, CopiesProgramAndHtmlAndStartsItWithTheCardFolder) {
    host.removable = true;
    ASSERT_TRUE(IsStartedFromRemovableDrive());
    ASSERT_TRUE(CopyProgramToLocalFolder());
    const fs::path copyFolder = local.path() / "share" / "Pelmora" / "Setting";
    EXPECT_EQ(test::ReadText(copyFolder / "dashcam-setting"), "program");
    EXPECT_EQ(test::ReadText(copyFolder / "html" / "css" / "a.css"), "css");
    EXPECT_EQ(LocalCopyPath(),
              local.root() + u"share" + kSep + u"Pelmora" + kSep + u"Setting" + kSep + u"dashcam-setting");

    test::TraceCapture trace;
    ASSERT_TRUE(StartLocalCopy());
    ASSERT_EQ(host.starts.size(), 1u);
    // The card folder, spaces and all, is one argument with its trailing separator.
    EXPECT_EQ(host.starts[0].argument, card.root() + u"my card" + kSep);
    EXPECT_EQ(host.starts[0].program, LocalCopyPath());
    EXPECT_EQ(host.starts[0].workingFolder, DriveRootOf(card.root()));
    EXPECT_EQ(trace.text(), Utf16ToUtf8(LocalCopyPath()) + "\n" + Utf16ToUtf8(host.starts[0].argument) +
                                "\n" + Utf16ToUtf8(DriveRootOf(card.root())) + "\n");

    // A second hand-over overwrites the earlier copy.
    test::WriteText(card.path() / "my card" / "dashcam-setting", "newer");
    ASSERT_TRUE(CopyProgramToLocalFolder());
    EXPECT_EQ(test::ReadText(copyFolder / "dashcam-setting"), "newer");
}

TEST_F(HandOver, FixedDiskFailedCopyOrNoFolderStopsIt) {
    EXPECT_FALSE(IsStartedFromRemovableDrive());
    host.copyFails = true;
    EXPECT_FALSE(CopyProgramToLocalFolder());
    EXPECT_FALSE(StartLocalCopy());
    EXPECT_TRUE(host.starts.empty());
    host.copyFails = false;
    host.appData.reset();
    EXPECT_FALSE(CopyProgramToLocalFolder());
}

} // namespace
} // namespace dashcam
