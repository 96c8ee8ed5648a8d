// The host's copies for the hand-over never follow a link: not one planted at the destination, not one on the card.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <filesystem>

#include "platform/host_system.h"
#include "support/temp_dir.h"

namespace dashcam {
namespace {
namespace fs = std::filesystem;
using test::TempDir;

std::u16string U16(const fs::path& p) {
    const std::string s = p.string();
    return std::u16string(s.begin(), s.end());
}

TEST(HostCopies, LinksAtTheDestinationAndOnTheCardAreNotFollowed) {
    TempDir card, local, elsewhere;
    fs::create_directories(card / "html" / "css");
    test::WriteText(card / "html" / "css" / "a.css", "css");
    fs::create_directory_symlink(".", card / "html" / "loop");
    test::WriteText(elsewhere / "secret", "secret");
    fs::create_symlink(elsewhere / "secret", card / "html" / "secret");
    // Links planted in the local copy folder, pointing at what must stay untouched.
    fs::create_directory_symlink(elsewhere.path(), local / "html");
    test::WriteText(card / "program", "new program");
    fs::create_symlink(elsewhere / "victim", local / "program.part");
    test::WriteText(elsewhere / "victim", "victim");

    HostSystem& host = Host();
    EXPECT_TRUE(host.CopyFolderInto(U16(card / "html"), U16(local.path())));
    EXPECT_FALSE(fs::is_symlink(local / "html"));
    EXPECT_EQ(test::ReadText(local / "html" / "css" / "a.css"), "css");
    EXPECT_FALSE(fs::exists(fs::symlink_status(local / "html" / "loop")));
    EXPECT_FALSE(fs::exists(fs::symlink_status(local / "html" / "secret")));
    EXPECT_FALSE(fs::exists(elsewhere / "css"));

    EXPECT_TRUE(host.CopyFileOver(U16(card / "program"), U16(local / "program")));
    EXPECT_EQ(test::ReadText(local / "program"), "new program");
    EXPECT_EQ(test::ReadText(elsewhere / "victim"), "victim");
}

} // namespace
} // namespace dashcam
#endif
