#include "mount_table.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

namespace dashcam {
namespace {

// Mount points and sources escape blanks, tabs, newlines and backslashes as three octal digits (\040).
std::string Unescape(const std::string& field) {
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() &&
            field.substr(i + 1, 3).find_first_not_of("01234567") == std::string::npos) {
            out.push_back(static_cast<char>(std::strtol(field.substr(i + 1, 3).c_str(), nullptr, 8)));
            i += 3;
        } else {
            out.push_back(field[i]);
        }
    }
    return out;
}

bool HoldsPath(const std::string& mountPoint, const std::string& path) {
    if (mountPoint == "/")
        return !path.empty() && path[0] == '/';
    return path.compare(0, mountPoint.size(), mountPoint) == 0 &&
           (path.size() == mountPoint.size() || path[mountPoint.size()] == '/');
}

} // namespace

std::vector<MountEntry> ReadMountTable(std::istream& table) {
    std::vector<MountEntry> entries;
    std::string line;
    while (std::getline(table, line)) {
        // id parent major:minor root mount-point options [optional fields...] - type source super-options
        std::istringstream fields(line);
        std::string id, parent, device, root, mountPoint, word;
        if (!(fields >> id >> parent >> device >> root >> mountPoint))
            continue;
        MountEntry entry{Unescape(mountPoint), device, {}, {}};
        while (fields >> word && word != "-") {
        }
        fields >> entry.fileSystemType >> entry.source;
        entry.source = Unescape(entry.source);
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::optional<MountEntry> FindMountIn(std::istream& table, const std::string& canonicalPath) {
    std::optional<MountEntry> best;
    for (MountEntry& entry : ReadMountTable(table))
        if (HoldsPath(entry.mountPoint, canonicalPath) &&
            (!best || entry.mountPoint.size() >= best->mountPoint.size()))
            best = std::move(entry);
    return best;
}

std::optional<MountEntry> FindMount(const std::string& path) {
    std::error_code ec;
    std::string canonical = std::filesystem::weakly_canonical(std::filesystem::path(path), ec).string();
    if (ec)
        return std::nullopt;
    while (canonical.size() > 1 && canonical.back() == '/')
        canonical.pop_back();
    std::ifstream table("/proc/self/mountinfo");
    return FindMountIn(table, canonical);
}

} // namespace dashcam
