#include "mkfs_volume_formatter.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <vector>

#include "../text_codec.h"
#include "block_device.h"
#include "mount_table.h"
#include "tool_process.h"

namespace dashcam {
namespace {


unsigned DeviceSectorSize(const std::string& target) {
    struct stat info {};
    if (stat(target.c_str(), &info) != 0 || !S_ISBLK(info.st_mode))
        return 512;
    const int fd = open(target.c_str(), O_RDONLY | O_CLOEXEC);
    int size = 0;
    if (fd >= 0) {
        if (ioctl(fd, BLKSSZGET, &size) != 0)
            size = 0;
        close(fd);
    }
    return size > 0 ? static_cast<unsigned>(size) : 512;
}

std::string Failed(const std::string& step, const ToolResult& run) {
    std::string out = run.output;
    while (!out.empty() && (out.back() == '\n' || out.back() == ' '))
        out.pop_back();
    return step + " failed" + (out.empty() ? std::string() : ": " + out);
}

} // namespace

std::vector<std::string> MkfsLayoutArguments(const FormatRequest& request, unsigned sectorSize) {
    if (IsExfat(request.fileSystem)) {
        if (request.clusterSize == 0)
            return {};
        return {"-c", std::to_string(request.clusterSize)};
    }
    std::vector<std::string> args = {"-F", "32"};
    if (request.clusterSize != 0)
        args.insert(args.end(), {"-s", std::to_string(std::max(1u, request.clusterSize / std::max(1u, sectorSize)))});
    return args;
}

MkfsResult MakeFileSystem(const std::string& target, const FormatRequest& request, unsigned sectorSize) {
    if (sectorSize == 0)
        sectorSize = DeviceSectorSize(target);
    const bool exfat = IsExfat(request.fileSystem);
    auto command = [&](const std::u16string& label) {
        std::vector<std::string> argv;
        argv = {exfat ? "mkfs.exfat" : "mkfs.fat"};
        const std::vector<std::string> layout = MkfsLayoutArguments(request, sectorSize);
        argv.insert(argv.end(), layout.begin(), layout.end());
        if (exfat) {
            if (!request.quick)
                argv.push_back("-f");
            if (!label.empty())
                argv.insert(argv.end(), {"-L", Utf16ToUtf8(label)});
        } else {
            argv.push_back("-I");
            if (!label.empty())
                argv.insert(argv.end(), {"-n", Utf16ToUtf8(label)});
        }
        argv.push_back(target);
        return argv;
    };
    const ToolResult run = RunTool(command(FileSystemLabel(request.label, request.fileSystem)));
    if (!run.ok())
        return {false, Failed(exfat ? "mkfs.exfat" : "mkfs.fat", run)};
    return {true, {}};
}

FormatRun MkfsVolumeFormatter::Format(const FormatRequest& request, const FormatCallback& callback) {
    FormatRun run;
    run.volumeAfter = request.volume;
    if (geteuid() != 0) {
        run.unavailableText = u"Formatting a card needs UDisks2 (the desktop's disk service) or root.";
        return run;
    }
    run.ran = true;
    auto fail = [&](const std::string& why) {
        run.note = Utf8ToUtf16(why);
        ReportFormatDone(callback, false);
        return run;
    };
    // Only the confirmed volume, at its exact mount point, from its own device: a card pulled out since leaves
    // the folder to the file system above it, which must never be unmounted or erased.
    std::string mountPoint = Utf16ToUtf8(request.volume);
    while (mountPoint.size() > 1 && mountPoint.back() == '/')
        mountPoint.pop_back();
    const auto mount = FindMount(mountPoint);
    if (!mount || mount->mountPoint != mountPoint)
        return fail("the card is no longer mounted at " + mountPoint + "; nothing was erased");
    const auto device = BlockDeviceOfMount(mount->majorMinor, mount->source);
    if (!device || (!request.device.empty() && Utf8ToUtf16(*device) != request.device))
        return fail("another volume is now mounted at " + mountPoint + "; nothing was erased");
    // The device stays open until the end, so that its number cannot pass to another disk meanwhile.
    const int pin = open(mount->source.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat info {};
    if (pin < 0 || fstat(pin, &info) != 0 || !S_ISBLK(info.st_mode) ||
        std::to_string(major(info.st_rdev)) + ":" + std::to_string(minor(info.st_rdev)) != *device) {
        if (pin >= 0)
            close(pin);
        return fail("the card's device " + mount->source + " is not the mounted one; nothing was erased");
    }
    struct Closer {
        int fd;
        ~Closer() { close(fd); }
    } closer{pin};
    const std::string type = IsExfat(request.fileSystem) ? "exfat" : "vfat";

    if (ToolResult r = RunTool({"umount", mount->mountPoint}); !r.ok())
        return fail(Failed("umount", r) + "; nothing was erased");
    if (!callback(kFormatProgressCommand, 0, nullptr)) {
        RunTool({"mount", "-t", mount->fileSystemType, mount->source, mount->mountPoint});
        return fail("stopped; nothing was erased");
    }
    struct stat now {};
    if (stat(mount->source.c_str(), &now) != 0 || !S_ISBLK(now.st_mode) || now.st_rdev != info.st_rdev) {
        RunTool({"mount", "-t", mount->fileSystemType, mount->source, mount->mountPoint});
        return fail("the card's device " + mount->source + " changed; nothing was erased");
    }
    run.erased = true;
    const MkfsResult made = MakeFileSystem(mount->source, request);
    callback(kFormatProgressCommand, 0, nullptr);
    // Mounted again in any case: a failed mkfs may have left the old file system intact.
    ToolResult mounted =
        RunTool({"mount", "-t", made.ok ? type : mount->fileSystemType, mount->source, mount->mountPoint});
    callback(kFormatProgressCommand, 0, nullptr);
    if (!made.ok)
        return fail(made.message);
    if (!mounted.ok())
        return fail(Failed("mount", mounted));
    ReportFormatDone(callback, true);
    return run;
}

VolumeFormatter& PlatformFormatter() {
    static MkfsVolumeFormatter formatter;
    return formatter;
}

} // namespace dashcam
