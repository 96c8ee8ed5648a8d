// The UDisks2 formatter against a stand-in service on a private bus: the calls and options it sends.
#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>
#include <vector>

#include "platform/posix/block_device.h"
#include "platform/posix/mount_table.h"
#include "platform/posix/udisks_volume_formatter.h"
#include "platform/text_codec.h"
#include "support/temp_dir.h"

extern char** environ;

namespace dashcam {
namespace {
using test::TempDir;
namespace fs = std::filesystem;

pid_t Spawn(const std::vector<std::string>& argv) {
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid = 0;
    return posix_spawnp(&pid, args[0], nullptr, nullptr, args.data(), environ) == 0 ? pid : -1;
}

void Stop(pid_t& pid) {
    if (pid > 0) {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
    pid = -1;
}

template <typename Condition> bool WaitFor(Condition condition) {
    for (int i = 0; i < 200; ++i) {
        if (condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    return false;
}

// A formatter that only notes that it was asked.
struct Fallback : VolumeFormatter {
    int calls = 0;
    FormatRun Format(const FormatRequest&, const FormatCallback&) override {
        ++calls;
        return {};
    }
};

class UDisksFormatter : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (access("/usr/bin/python3", X_OK) != 0 || access("/usr/bin/dbus-daemon", X_OK) != 0 ||
            system("/usr/bin/python3 -c 'import dbusmock' 2>/dev/null") != 0)
            return;
        busFolder = new TempDir;
        const std::string address = "unix:path=" + (busFolder->path() / "bus").string();
        busPid = Spawn({"dbus-daemon", "--session", "--nofork", "--nopidfile", "--address=" + address});
        if (!WaitFor([] { return fs::exists(busFolder->path() / "bus"); }))
            return;
        setenv("DBUS_SYSTEM_BUS_ADDRESS", address.c_str(), 1);
        static int argc = 1;
        static char name[] = "udisks_tests";
        static char* argv[] = {name, nullptr};
        app = new QCoreApplication(argc, argv);
    }
    static void TearDownTestSuite() {
        Stop(busPid);
        delete busFolder;
        busFolder = nullptr;
    }

    void SetUp() override {
        if (!app)
            GTEST_SKIP() << "python3-dbusmock and dbus-daemon are needed";
        // The card stands in as a real mount with a block device (the service is the stand-in: nothing is
        // unmounted or formatted for real).
        std::ifstream table("/proc/self/mountinfo");
        for (const MountEntry& entry : ReadMountTable(table))
            if (auto device = BlockDeviceOfMount(entry.majorMinor, entry.source)) {
                mountPoint = entry.mountPoint;
                majorMinor = *device;
                break;
            }
        if (mountPoint.empty())
            GTEST_SKIP() << "no mount with a block device";
        volume = Utf8ToUtf16(mountPoint == "/" ? mountPoint : mountPoint + "/");
        unsigned major = 0, minor = 0;
        ASSERT_EQ(std::sscanf(majorMinor.c_str(), "%u:%u", &major, &minor), 2);
        devnum = makedev(major, minor);
    }
    void TearDown() override { Stop(mockPid); }

    void StartService(const std::string& version, bool failFormat = false) {
        const std::string parameters = "{\"devnum\": " + std::to_string(devnum) + ", \"version\": \"" +
                                       version +
                                       "\", \"mount_point\": \"" + mountPoint + "\", \"mount_after\": \"/media/u/TREVANIL\", \"fail_format\": " +
                                       (failFormat ? "true" : "false") + "}";
        mockPid = Spawn({"/usr/bin/python3", "-m", "dbusmock", "-t",
                         DASHCAM_SOURCE_DIR "/tests/udisks/udisks2_stand_in.py", "-l",
                         (dir.path() / "calls.log").string(), "-p", parameters});
        ASSERT_TRUE(WaitFor([] {
            return QDBusConnection::systemBus()
                .interface()
                ->isServiceRegistered("org.freedesktop.UDisks2")
                .value();
        }));
    }

    struct Outcome {
        FormatRun run;
        int steps = 0;
        int result = -1;
    };
    Outcome Run(const FormatRequest& request) {
        Outcome out;
        out.run = formatter.Format(request, [&out](int command, int, const void* info) {
            if (command == kFormatProgressCommand)
                ++out.steps;
            if (command == kFormatDoneCommand)
                out.result = *static_cast<const unsigned char*>(info);
            return true;
        });
        return out;
    }
    // The methods the service was called with, each with its arguments, in order; property reads left out.
    std::vector<std::string> Calls() {
        std::vector<std::string> out;
        std::istringstream log(test::ReadText(dir.path() / "calls.log"));
        for (std::string line; std::getline(log, line);) {
            const std::string call = line.substr(line.find(' ') + 1);
            if (call.rfind("Get ", 0) != 0 && call.rfind("GetAll ", 0) != 0)
                out.push_back(call);
        }
        return out;
    }

    static inline TempDir* busFolder = nullptr;
    static inline pid_t busPid = -1;
    static inline QCoreApplication* app = nullptr;
    TempDir dir;
    std::string mountPoint, majorMinor;
    std::u16string volume;
    std::uint64_t devnum = 0;
    pid_t mockPid = -1;
    Fallback fallback;
    UDisksVolumeFormatter formatter{fallback};
};

TEST_F(UDisksFormatter, UnmountsFormatsAndMountsTheCardsDevice) {
    StartService("2.9.4");
    Outcome out = Run({volume, u"FAT32", u"Kestravon Z910 Pro", true, 32768, Utf8ToUtf16(majorMinor)});
    EXPECT_TRUE(out.run.ran);
    EXPECT_EQ(out.steps, 3);
    EXPECT_EQ(out.result, 1);
    EXPECT_EQ(out.run.volumeAfter, u"/media/u/TREVANIL/");
    // This service takes no mkfs arguments: its defaults are used, and the run says so.
    EXPECT_EQ(Calls(),
              (std::vector<std::string>{"GetBlockDevices {}", "Unmount {}",
                                        "Format \"vfat\" {\"label\": \"KESTRAVON Z\"}", "Mount {}"}));
    EXPECT_NE(out.run.note.find(u"cluster size"), std::u16string::npos);
    EXPECT_EQ(fallback.calls, 0);
}

TEST_F(UDisksFormatter, PassesFat32AndTheClusterSizeToANewerService) {
    StartService("2.10.1");
    Outcome out = Run({volume, u"FAT32", u"Trevanil", true, 32768, Utf8ToUtf16(majorMinor)});
    EXPECT_EQ(out.result, 1);
    EXPECT_TRUE(out.run.note.empty());
    const std::vector<std::string> calls = Calls();
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_TRUE(
        std::regex_match(calls[2], std::regex(R"re(Format "vfat" \{"label": "TREVANIL", )re"
                                              R"re("mkfs-args": \["-F", "32", "-s", "(64|8)"\]\})re")))
        << calls[2];
    // exFAT with the default clusters needs no arguments, and keeps the label's case.
    Run({volume, u"exfat", u"Trevanil", true, 0, Utf8ToUtf16(majorMinor)});
    EXPECT_EQ(Calls().at(6), "Format \"exfat\" {\"label\": \"Trevanil\"}");
}

TEST_F(UDisksFormatter, AFailedFormatIsReportedAndTheCardMountedAgain) {
    StartService("2.9.4", true);
    Outcome out = Run({volume, u"FAT32", u"Trevanil", true, 32768, Utf8ToUtf16(majorMinor)});
    EXPECT_TRUE(out.run.ran);
    EXPECT_EQ(out.result, 0);
    EXPECT_NE(out.run.note.find(u"mkfs.vfat exited with code 1"), std::u16string::npos);
    EXPECT_EQ(Calls().back(), "Mount {}");
}

TEST_F(UDisksFormatter, NothingIsUnmountedUnlessTheConfirmedDeviceIsMountedAtTheVolume) {
    StartService("2.9.4");
    // A card pulled out after the question: its folder now belongs to the file system above it.
    fs::create_directories(dir.path() / "card");
    Outcome out = Run({Utf8ToUtf16((dir.path() / "card").string() + "/"), u"FAT32", u"Trevanil", true, 32768, Utf8ToUtf16(majorMinor)});
    EXPECT_EQ(out.result, 0);
    EXPECT_NE(out.run.note.find(u"nothing was erased"), std::u16string::npos);
    EXPECT_FALSE(out.run.erased);
    // Another device at the confirmed mount point.
    out = Run({volume, u"FAT32", u"Trevanil", true, 32768, u"259:99"});
    EXPECT_EQ(out.result, 0);
    EXPECT_EQ(Calls(), (std::vector<std::string>{"GetBlockDevices {}", "GetBlockDevices {}"}));
}

TEST_F(UDisksFormatter, WithoutTheServiceTheOtherFormatterTakesOver) {
    Run({volume, u"FAT32", u"Trevanil", true, 32768, Utf8ToUtf16(majorMinor)});
    EXPECT_EQ(fallback.calls, 1);
}

} // namespace
} // namespace dashcam
