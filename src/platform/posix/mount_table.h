#pragma once
// The kernel's table of mounted file systems (/proc/self/mountinfo): which mount holds a path.
#include <istream>
#include <optional>
#include <string>
#include <vector>

namespace dashcam {

struct MountEntry {
    std::string mountPoint;     // as mounted, without a trailing '/' (except "/" itself)
    std::string majorMinor;     // the device number, as "8:17"
    std::string fileSystemType; // "vfat", "exfat", ...
    std::string source;         // "/dev/sdb1", or what the file system names as its source
};

// Every entry of a table in mountinfo format, in its order; broken lines are left out.
std::vector<MountEntry> ReadMountTable(std::istream& table);
// The mount that holds an absolute, canonical path: the longest mount point that is the path or one of its
// folders; of two mounts on the same point the later one. Reads the table in mountinfo format.
std::optional<MountEntry> FindMountIn(std::istream& table, const std::string& canonicalPath);
// The same for any path, against this process's mount table.
std::optional<MountEntry> FindMount(const std::string& path);

} // namespace dashcam
