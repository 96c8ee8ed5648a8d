// The Windows formatter against the stand-in format library built beside this test.
#ifdef _WIN32
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/win32_volume_formatter.h"
#include "support/fmifs_stand_in.h"

namespace dashcam {
namespace {

// Held for the whole run, so the stand-in keeps its record of the last call when the formatter releases it.
const HMODULE g_standIn = LoadLibraryW(L"fmifs.dll");

const FormatExCall& LastCall() {
    using Get = const FormatExCall*(WINAPI*)();
    const auto get =
        reinterpret_cast<Get>(reinterpret_cast<void*>(GetProcAddress(g_standIn, "LastFormatExCall")));
    return *get();
}

struct Recorded {
    int steps = 0;
    std::vector<int> results;
};

FormatCallback Recorder(Recorded& r, int stopAfter = -1) {
    return [&r, stopAfter](int command, int, const void* info) {
        if (command == kFormatProgressCommand)
            return ++r.steps != stopAfter;
        if (command == kFormatDoneCommand)
            r.results.push_back(*static_cast<const unsigned char*>(info));
        return true;
    };
}

TEST(Win32VolumeFormatter, CallsFormatExWithTheRequestAndRelaysItsCallback) {
    Win32VolumeFormatter formatter;
    Recorded r;
    const FormatRun run = formatter.Format({u"E:\\", u"FAT32", u"Trevanil", true, 32768, {}}, Recorder(r));
    ASSERT_TRUE(run.ran) << std::string(run.unavailableText.begin(), run.unavailableText.end());
    EXPECT_EQ(r.steps, 5);
    EXPECT_EQ(r.results, std::vector<int>{1});
    const FormatExCall& call = LastCall();
    EXPECT_EQ(std::wstring(call.volume), L"E:\\");
    EXPECT_EQ(call.mediaKind, 11u);
    EXPECT_EQ(std::wstring(call.fileSystem), L"FAT32");
    EXPECT_EQ(std::wstring(call.label), L"Trevanil");
    EXPECT_TRUE(call.quick);
    EXPECT_EQ(call.clusterSize, 32768u);

    // A 16-character label and exFAT's default clusters pass through unchanged.
    Recorded large;
    formatter.Format({u"F:\\", u"exfat", u"ABCDEFGHIJKLMNOP", true, 0, {}}, Recorder(large));
    EXPECT_EQ(std::wstring(LastCall().label), L"ABCDEFGHIJKLMNOP");
    EXPECT_EQ(LastCall().clusterSize, 0u);
    EXPECT_EQ(large.results, std::vector<int>{1});
}

TEST(Win32VolumeFormatter, ACallbackThatSaysStopEndsTheFormat) {
    Win32VolumeFormatter formatter;
    Recorded r;
    formatter.Format({u"E:\\", u"FAT32", u"X", true, 32768, {}}, Recorder(r, 2));
    EXPECT_EQ(LastCall().steps, 1);
    EXPECT_EQ(r.results, std::vector<int>{0});
}

TEST(Win32VolumeFormatter, ACardSwappedSinceTheQuestionIsNotFormatted) {
    Recorded r;
    const FormatRun run = Win32VolumeFormatter().Format(
        {u"C:\\", u"FAT32", u"SWAPPED", true, 32768, u"\\\\?\\Volume{00000000-0000-0000-0000-000000000000}\\"},
        Recorder(r));
    EXPECT_FALSE(run.erased);
    EXPECT_EQ(r.results, std::vector<int>{0});
    EXPECT_NE(std::wstring(LastCall().label), L"SWAPPED");
}

TEST(Win32VolumeFormatter, AMissingLibraryOrEntryIsReportedAndNothingRuns) {
    Recorded r;
    FormatRun run =
        Win32VolumeFormatter(u"no-such-library.dll").Format({u"E:\\", u"FAT32", u"X", true, 0, {}}, Recorder(r));
    EXPECT_FALSE(run.ran);
    EXPECT_EQ(run.unavailableText, u"LoadLibrary(fmifs.dll) failed");
    run = Win32VolumeFormatter(u"kernel32.dll").Format({u"E:\\", u"FAT32", u"X", true, 0, {}}, Recorder(r));
    EXPECT_FALSE(run.ran);
    EXPECT_EQ(run.unavailableText, u"GetProcAddress(fmifs) failed");
    EXPECT_EQ(r.steps, 0);
    EXPECT_TRUE(r.results.empty());
}

} // namespace
} // namespace dashcam
#endif
