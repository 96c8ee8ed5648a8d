// The bounded readers of the card's files.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string_view>
#include <thread>

#include "platform/files/raw_file.h"
#include "platform/files/safe_file.h"
#include "support/fifo_wait.h"
#include "support/temp_dir.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace dashcam {
namespace {
using test::TempDir;
using test::WriteText;
using Lines = std::vector<std::string>;

TEST(SafeFile, LinesStopAtTheirLimits) {
    TempDir dir;
    WriteText(dir / "a.txt", "first\r\nsecond\n\nlast\r");
    const std::u16string path = dir.root() + u"a.txt";
    EXPECT_EQ(ReadFirstLine(path, 100), "first");
    EXPECT_EQ(ReadFirstLine(path, 5), "first"); // the CR just past the limit is no part of the line
    EXPECT_EQ(ReadFirstLine(path, 3), "fir");
    EXPECT_EQ(ReadTextLines(path, 100), (Lines{"first", "second", "", "last"}));
    EXPECT_EQ(ReadTextLines(path, 10), (Lines{"first", "sec"}));
    // An empty file holds no lines, and so no first line either.
    WriteText(dir / "empty.txt", "");
    EXPECT_EQ(ReadFirstLine(dir.root() + u"empty.txt", 10), std::nullopt);
    EXPECT_EQ(ReadTextLines(dir.root() + u"empty.txt", 10), Lines{});
}

#ifndef _WIN32
using test::WithoutWaitingOn;

// What each reader makes of the path: true when it read something.
std::vector<bool> ReadWithEachReader(const std::u16string& path) {
    return {ReadFileHeadOrWhy(path, 64).head.has_value(), ReadFileHead(path, 64).has_value(),
            ReadFirstLine(path, 64).has_value(), ReadTextLines(path, 64).has_value()};
}

TEST(SafeFile, AFifoIsRefusedAtOnceEvenWhenItReplacesTheFile) {
    TempDir dir;
    const std::filesystem::path fifo = dir / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::u16string fifoPath = dir.root() + u"pipe";
    EXPECT_EQ(WithoutWaitingOn(fifo, [&](auto&) { return ReadWithEachReader(fifoPath); }),
              (std::vector<bool>{false, false, false, false}));
    const FileHeadRead read = ReadFileHeadOrWhy(fifoPath, 64);
    EXPECT_FALSE(read.missing);
    EXPECT_EQ(read.reason, "it is not a regular file");

    // setup.cfg swapped with the FIFO again and again while it is read: whatever a reader finds, it never waits.
    WriteText(dir / "file", "line\n");
    const std::filesystem::path card = dir / "setup.cfg";
    std::atomic<bool> stop = false;
    std::thread swapper([&] {
        for (int i = 0; !stop; ++i) {
            const std::filesystem::path next = dir / (i % 2 ? "next-fifo" : "next-file");
            // A failed link leaves the name of an earlier round, which is moved in all the same.
            [[maybe_unused]] const int linked = ::link((i % 2 ? fifo : dir / "file").c_str(), next.c_str());
            ::rename(next.c_str(), card.c_str());
        }
    });
    const std::u16string cardPath = dir.root() + u"setup.cfg";
    // A second of reads, however many a loaded or instrumented machine manages: only a read that waits makes the
    // reader give up, never a slow one.
    WithoutWaitingOn(fifo, [&](const std::atomic<bool>& gaveUp) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(1);
        while (std::chrono::steady_clock::now() < end && !gaveUp)
            ReadWithEachReader(cardPath);
        return 0;
    });
    stop = true;
    swapper.join();
}
#endif

TEST(SafeFile, AMissingFileIsToldApartWithTheSystemsReason) {
    TempDir dir;
    const FileHeadRead read = ReadFileHeadOrWhy(dir.root() + u"none.cfg", 64);
    EXPECT_FALSE(read.head);
    EXPECT_TRUE(read.missing);
    // The reason goes into a sentence of ours: no full stop or line break of its own.
    ASSERT_FALSE(read.reason.empty());
    EXPECT_EQ(std::string_view(".\r\n ").find(read.reason.back()), std::string_view::npos) << read.reason;
}

// A card folder given as "" is the current folder: it has the current folder's identity, so its lock is that
// folder's lock whichever way another program spells it.
TEST(RawFile, AnEmptyPathIsTheCurrentFolder) {
    const auto current = RawFile::IdentityOf(std::filesystem::current_path());
    ASSERT_TRUE(current);
    EXPECT_EQ(RawFile::IdentityOf(""), current);
}

} // namespace
} // namespace dashcam
