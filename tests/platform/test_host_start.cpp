// Starting a program says whether it really started: a missing or non-executable program, or a working folder
// that is gone, is a failure, not a start.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/host_system.h"
#include "platform/text_codec.h"
#include "support/temp_dir.h"

namespace dashcam {
namespace {
namespace fs = std::filesystem;

TEST(HostStart, ReportsOnlyAProgramThatRanAsStarted) {
    test::TempDir dir;
    const fs::path script = dir / "tool";
    test::WriteText(script, "#!/bin/sh\necho \"$PWD\" > \"$1\"\n");
    fs::permissions(script, fs::perms::owner_all);
    const fs::path marker = dir / "ran";

    auto start = [](const fs::path& program, const fs::path& argument, const fs::path& folder) {
        return Host().StartProgram(Utf8ToUtf16(program.string()), Utf8ToUtf16(argument.string()),
                                   Utf8ToUtf16(folder.string()));
    };
    ASSERT_TRUE(start(script, marker, dir.path()));
    for (int i = 0; i < 200 && test::ReadText(marker).empty(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(test::ReadText(marker), dir.path().string() + "\n");

    EXPECT_FALSE(start(dir / "missing", marker, dir.path()));
    test::WriteText(dir / "plain", "not a program");
    EXPECT_FALSE(start(dir / "plain", marker, dir.path()));
    EXPECT_FALSE(start(script, marker, dir / "gone"));
}

} // namespace
} // namespace dashcam
#endif
