#include "block_device.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <filesystem>
#include <fstream>

namespace dashcam {
namespace fs = std::filesystem;
namespace {

std::string FirstLine(const fs::path& p) {
    std::ifstream in(p);
    std::string line;
    std::getline(in, line);
    return line;
}

// One property of udev's database entry of a block device ("E:ID_FS_LABEL=CARD").
std::string UdevProperty(const std::string& udevRoot, const std::string& majorMinor, const std::string& name) {
    std::ifstream in(udevRoot + "/b" + majorMinor);
    const std::string key = "E:" + name + "=";
    for (std::string line; std::getline(in, line);)
        if (line.starts_with(key))
            return line.substr(key.size());
    return {};
}

bool UdevMarksCardSlot(const std::string& udevRoot, const std::string& majorMinor) {
    std::ifstream in(udevRoot + "/b" + majorMinor);
    for (std::string line; std::getline(in, line);)
        if ((line.starts_with("E:ID_DRIVE_FLASH_") || line.starts_with("E:ID_DRIVE_MEDIA_FLASH_")) &&
            line.ends_with("=1"))
            return true;
    return false;
}

} // namespace

std::optional<std::string> BlockDeviceOfMount(const std::string& mountMajorMinor, const std::string& source) {
    if (!mountMajorMinor.starts_with("0:"))
        return mountMajorMinor;
    struct stat info {};
    if (source.empty() || source[0] != '/' || stat(source.c_str(), &info) != 0 || !S_ISBLK(info.st_mode))
        return std::nullopt;
    return std::to_string(major(info.st_rdev)) + ":" + std::to_string(minor(info.st_rdev));
}

BlockDeviceFacts ReadBlockDevice(const std::string& majorMinor, const std::string& sysRoot,
                                 const std::string& udevRoot) {
    BlockDeviceFacts facts;
    std::error_code ec;
    const fs::path device = fs::canonical(fs::path(sysRoot) / "dev" / "block" / majorMinor, ec);
    if (ec) {
        facts.whyNotCard = "the system does not know its device";
        return facts;
    }
    // A partition's folder lies inside its disk's folder; the disk holds "removable" and "device".
    fs::path disk = device;
    if (fs::exists(device / "partition", ec))
        disk = device.parent_path();
    const std::string size = FirstLine(device / "size");
    if (!size.empty() && size.find_first_not_of("0123456789") == std::string::npos)
        facts.bytes = std::stoull(size) * 512;
    facts.readOnly = FirstLine(device / "ro") == "1" || FirstLine(disk / "ro") == "1";
    facts.label = UdevProperty(udevRoot, majorMinor, "ID_FS_LABEL");

    const std::string diskNumber = FirstLine(disk / "dev");
    if (FirstLine(disk / "removable") == "1")
        facts.removableCard = true;
    else if (disk.string().find("/mmc_host/") != std::string::npos)
        facts.removableCard = FirstLine(disk / "device" / "type") == "SD";
    else
        facts.removableCard = UdevMarksCardSlot(udevRoot, majorMinor) ||
                              (!diskNumber.empty() && UdevMarksCardSlot(udevRoot, diskNumber));
    if (!facts.removableCard)
        facts.whyNotCard = disk.string().find("/mmc_host/") != std::string::npos
                               ? "it is a memory chip built into the computer (eMMC), not a card"
                               : "it is a fixed disk, not a removable memory card";
    return facts;
}

} // namespace dashcam
