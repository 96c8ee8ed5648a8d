#include "mkfs_volume_formatter.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include "../text_codec.h"
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

std::u16string FileSystemLabel(const std::u16string& label, const std::u16string& fileSystem) {
    if (IsExfat(fileSystem)) {
        std::u16string out = label.substr(0, 15);
        // Never split a surrogate pair.
        if (out.size() == 15 && out.back() >= 0xD800 && out.back() <= 0xDBFF)
            out.pop_back();
        return out;
    }
    static constexpr std::u16string_view kNotInFatLabels = u"\"*+,./:;<=>?[\\]|";
    std::u16string out;
    for (char16_t c : label) {
        if (out.size() == 11)
            break;
        if (c >= u'a' && c <= u'z')
            c = static_cast<char16_t>(c - u'a' + u'A');
        else if (c < 0x20 || c > 0x7E || kNotInFatLabels.find(c) != std::u16string_view::npos)
            c = u'_';
        out.push_back(c);
    }
    return out;
}

bool IsExfat(const std::u16string& fileSystem) {
    std::u16string lower;
    for (char16_t c : fileSystem)
        lower.push_back(c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c);
    return lower == u"exfat";
}

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
    const std::u16string label = FileSystemLabel(request.label, request.fileSystem);
    ToolResult run = RunTool(command(label));
    // Some mkfs.exfat releases take no more than 11 label characters: then the label is cut there.
    if (exfat && !run.ok() && label.size() > 11 && run.output.find("too long") != std::string::npos)
        run = RunTool(command(label.substr(0, 11)));
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
    const auto mount = FindMount(Utf16ToUtf8(request.volume));
    struct stat info {};
    if (!mount || stat(mount->source.c_str(), &info) != 0 || !S_ISBLK(info.st_mode))
        return fail("the card's volume is not a mounted block device");
    const std::string type = IsExfat(request.fileSystem) ? "exfat" : "vfat";

    if (ToolResult r = RunTool({"umount", mount->mountPoint}); !r.ok())
        return fail(Failed("umount", r));
    if (!callback(kFormatProgressCommand, 0, nullptr)) {
        RunTool({"mount", "-t", mount->fileSystemType, mount->source, mount->mountPoint});
        return fail("stopped");
    }
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
