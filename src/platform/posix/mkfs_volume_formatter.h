#pragma once
// Formatting with the file-system tools themselves: unmount, mkfs.fat or mkfs.exfat on the block device,
// mount again. Changing a device this way needs root; the file-system step also works on an image file.
#include <string>
#include <vector>

#include "../volume_formatter.h"

namespace dashcam {

// The mkfs options that lay the file system out: for FAT32 "-F 32" and, with a cluster size, "-s" with the
// sectors per cluster (at least 1) for `sectorSize`-byte sectors; for exFAT "-c" with the cluster size in bytes.
std::vector<std::string> MkfsLayoutArguments(const FormatRequest& request, unsigned sectorSize);

struct MkfsResult {
    bool ok = false;
    std::string message; // what went wrong, with the tool's own words
};

// Builds an empty FAT32 or exFAT file system on a block device or image file: the request's label (through
// FileSystemLabel), cluster size (0: the tool's default) and quick flag. `sectorSize` is the device's logical
// sector size; 0 asks the device (512 for a file).
MkfsResult MakeFileSystem(const std::string& target, const FormatRequest& request, unsigned sectorSize = 0);

class MkfsVolumeFormatter final : public VolumeFormatter {
public:
    // Unmounts the volume's mount point, builds the file system on its block device and mounts it at the same
    // place: three progress steps. Without root it does nothing and says so (ran = false).
    FormatRun Format(const FormatRequest& request, const FormatCallback& callback) override;
};

} // namespace dashcam
