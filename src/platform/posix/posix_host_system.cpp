// Host services on POSIX systems: the mount table and /sys for drive kinds, the XDG data home, fork/exec.
#include "../host_system.h"
#include "../text_codec.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <system_error>

namespace dashcam {
namespace fs = std::filesystem;

namespace {

fs::path ToPath(const std::u16string& s) { return fs::path(Utf16ToUtf8(s)); }

std::string ReadFirstLine(const fs::path& p) {
    std::ifstream in(p);
    std::string line;
    std::getline(in, line);
    return line;
}

// The device (major:minor) of the mount that holds the path, from /proc/self/mountinfo: the longest mount point
// that is a prefix of the canonical path.
std::optional<std::string> MountDeviceOf(const fs::path& path) {
    std::error_code ec;
    fs::path canonical = fs::weakly_canonical(path, ec);
    if (ec)
        return std::nullopt;
    std::string target = canonical.string();
    std::ifstream in("/proc/self/mountinfo");
    std::string line, best, bestDevice;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string id, parent, device, root, mountPoint;
        if (!(fields >> id >> parent >> device >> root >> mountPoint))
            continue;
        // Octal escapes (\040 for a space) in mount points.
        std::string decoded;
        for (std::size_t i = 0; i < mountPoint.size(); ++i) {
            if (mountPoint[i] == '\\' && i + 3 < mountPoint.size()) {
                decoded.push_back(static_cast<char>(std::strtol(mountPoint.substr(i + 1, 3).c_str(), nullptr, 8)));
                i += 3;
            } else {
                decoded.push_back(mountPoint[i]);
            }
        }
        bool prefix = target == decoded || decoded == "/" ||
                      (target.compare(0, decoded.size(), decoded) == 0 && target.size() > decoded.size() &&
                       target[decoded.size()] == '/');
        if (prefix && decoded.size() >= best.size()) {
            best = decoded;
            bestDevice = device;
        }
    }
    if (bestDevice.empty())
        return std::nullopt;
    return bestDevice;
}

// A block device counts as removable when it, or the disk it is a partition of, says so in /sys, or sits on a USB
// or MMC bus (card readers often report removable 0).
bool BlockDeviceIsRemovable(const std::string& majorMinor) {
    std::error_code ec;
    fs::path dev = fs::path("/sys/dev/block") / majorMinor;
    fs::path real = fs::canonical(dev, ec);
    if (ec)
        return false;
    for (fs::path p = real; !p.empty() && p != p.root_path(); p = p.parent_path()) {
        if (fs::exists(p / "removable", ec) && ReadFirstLine(p / "removable") == "1")
            return true;
        if (p.filename() == "block")
            break;
    }
    std::string s = real.string();
    return s.find("/usb") != std::string::npos || s.find("/mmc_host/") != std::string::npos;
}

class PosixHostSystem final : public HostSystem {
public:
    std::u16string ModuleFilePath() override {
        std::error_code ec;
        fs::path self = fs::read_symlink("/proc/self/exe", ec);
        return ec ? std::u16string() : Utf8ToUtf16(self.string());
    }

    bool IsOnRemovableDrive(const std::u16string& folder) override {
        auto device = MountDeviceOf(ToPath(folder));
        return device && BlockDeviceIsRemovable(*device);
    }

    std::optional<std::u16string> LocalAppDataFolder() override {
        if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg == '/')
            return Utf8ToUtf16(xdg);
        if (const char* home = std::getenv("HOME"); home && *home)
            return Utf8ToUtf16(std::string(home) + "/.local/share");
        return std::nullopt;
    }

    bool CreateFolder(const std::u16string& path) override {
        std::error_code ec;
        fs::create_directory(ToPath(path), ec);
        return fs::is_directory(ToPath(path), ec);
    }

    bool FolderExists(const std::u16string& path) override {
        std::error_code ec;
        return fs::is_directory(ToPath(path), ec);
    }

    bool CopyFileOver(const std::u16string& from, const std::u16string& to) override {
        std::error_code ec;
        // Copy next to the destination, then rename over it: a running copy of the program keeps its old file.
        fs::path dst = ToPath(to);
        fs::path tmp = dst;
        tmp += ".part";
        fs::copy_file(ToPath(from), tmp, fs::copy_options::overwrite_existing, ec);
        if (ec) {
            fs::remove(tmp, ec);
            return false;
        }
        fs::rename(tmp, dst, ec);
        if (ec) {
            std::error_code ignored;
            fs::remove(tmp, ignored);
            return false;
        }
        return true;
    }

    bool CopyFolderInto(const std::u16string& folder, const std::u16string& destinationFolder) override {
        std::error_code ec;
        fs::path src = ToPath(folder);
        while (!src.empty() && !src.has_filename())
            src = src.parent_path();
        if (!fs::is_directory(src, ec))
            return false;
        fs::path dst = ToPath(destinationFolder) / src.filename();
        fs::copy(src, dst, fs::copy_options::recursive | fs::copy_options::overwrite_existing, ec);
        return !ec;
    }

    bool StartProgram(const std::u16string& program, const std::u16string& argument,
                      const std::u16string& workingFolder) override {
        std::string prog = Utf16ToUtf8(program), arg = Utf16ToUtf8(argument), dir = Utf16ToUtf8(workingFolder);
        pid_t child = fork();
        if (child < 0)
            return false;
        if (child == 0) {
            // A grandchild that nobody waits for: the new program outlives this one.
            setsid();
            pid_t grandchild = fork();
            if (grandchild != 0)
                _exit(grandchild < 0 ? 1 : 0);
            if (!dir.empty() && chdir(dir.c_str()) != 0)
                _exit(127);
            int devnull = open("/dev/null", O_RDONLY);
            if (devnull >= 0)
                dup2(devnull, STDIN_FILENO);
            char* argv[] = {prog.data(), arg.data(), nullptr};
            execv(prog.c_str(), argv);
            _exit(127);
        }
        int status = 0;
        waitpid(child, &status, 0);
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }

    std::int32_t StandardBiasMinutes() override {
        // The offset of a moment in winter and one in summer; the smaller east offset is the standard one
        // (daylight saving only ever adds time).
        std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        int year = local.tm_year;
        auto offsetAt = [year](int month) {
            std::tm t{};
            t.tm_year = year;
            t.tm_mon = month;
            t.tm_mday = 1;
            t.tm_hour = 12;
            t.tm_isdst = -1;
            std::time_t when = timegm(&t);
            std::tm lt{};
            localtime_r(&when, &lt);
            return static_cast<long>(lt.tm_gmtoff);
        };
        long east = std::min(offsetAt(0), offsetAt(6));
        return static_cast<std::int32_t>(-east / 60);
    }
};

} // namespace

HostSystem& PlatformHost() {
    static PosixHostSystem host;
    return host;
}

} // namespace dashcam
