#pragma once
// What the kernel and udev tell of a block device: whether it is a memory card, write-protected, its size and
// its label. Read from /sys/dev/block and udev's database, whose roots tests can move.
#include <cstdint>
#include <optional>
#include <string>

namespace dashcam {

struct BlockDeviceFacts {
    bool removableCard = false;
    bool readOnly = false;
    std::uint64_t bytes = 0; // 0 when unknown
    std::string label;       // the file system's label as udev read it, or empty
    std::string whyNotCard;  // when not removableCard
};

// "major:minor" of the block device behind a mount: the mount's own device number when it is a block device,
// else (a FUSE driver, which gets a device number of its own) the device number of its source when that is a
// block device; nullopt for a mount without a block device (tmpfs, a network share).
std::optional<std::string> BlockDeviceOfMount(const std::string& mountMajorMinor, const std::string& source);

// A device counts as a memory card when its disk says removable in /sys (card readers and slots do), when it
// is an SD card on an MMC host (an eMMC chip soldered on the board is not), or when udev marks the drive as a
// flash-card slot, as the desktop's disk service does. A USB disk or SSD that reports removable 0 is fixed.
BlockDeviceFacts ReadBlockDevice(const std::string& majorMinor, const std::string& sysRoot = "/sys",
                                 const std::string& udevRoot = "/run/udev/data");

} // namespace dashcam
