// Host services on POSIX systems: the mount table and /sys for drive kinds, the XDG data home, fork/exec.
#include "../host_system.h"
#include "../text_codec.h"
#include "block_device.h"
#include "mount_table.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

namespace dashcam {
namespace fs = std::filesystem;

namespace {


class PosixHostSystem final : public HostSystem {
public:
    std::u16string ModuleFilePath() override {
        std::error_code ec;
        fs::path self = fs::read_symlink("/proc/self/exe", ec);
        return ec ? std::u16string() : Utf8ToUtf16(self.string());
    }

    bool IsOnRemovableDrive(const std::u16string& folder) override {
        const auto volume = VolumeOf(folder);
        return volume && volume->removableCard;
    }

    std::optional<VolumeIdentity> VolumeOf(const std::u16string& path) override {
        const auto mount = FindMount(Utf16ToUtf8(path));
        if (!mount)
            return std::nullopt;
        VolumeIdentity volume;
        std::string root = mount->mountPoint;
        if (root.back() != '/')
            root.push_back('/');
        volume.root = Utf8ToUtf16(root);
        const auto device = BlockDeviceOfMount(mount->majorMinor, mount->source);
        volume.device = Utf8ToUtf16(device.value_or(mount->majorMinor));
        if (device) {
            const BlockDeviceFacts facts = ReadBlockDevice(*device);
            volume.removableCard = facts.removableCard;
            volume.readOnly = facts.readOnly;
            volume.totalBytes = facts.bytes;
            volume.label = Utf8ToUtf16(facts.label);
            volume.notCardReason = Utf8ToUtf16(facts.whyNotCard);
        } else {
            volume.notCardReason = u"it is not on a disk device";
        }
        if (volume.label.empty() && mount->mountPoint != "/")
            volume.label = Utf8ToUtf16(fs::path(mount->mountPoint).filename().string());
        if (volume.totalBytes == 0)
            volume.totalBytes = VolumeTotalBytes(volume.root).value_or(0);
        return volume;
    }

    std::optional<std::u16string> CreatePrivateFolder(const std::u16string& parent,
                                                      const std::u16string& prefix) override {
        std::error_code ec;
        fs::create_directories(ToFsPath(parent), ec);
        std::string pattern = Utf16ToUtf8(parent);
        if (pattern.empty() || pattern.back() != '/')
            pattern.push_back('/');
        pattern += Utf16ToUtf8(prefix) + "XXXXXX";
        // mkdtemp makes the folder with mode 0700 under a name nobody had.
        if (!mkdtemp(pattern.data()))
            return std::nullopt;
        return Utf8ToUtf16(pattern + "/");
    }

    std::u16string VolumeRootOf(const std::u16string& path) override {
        auto mount = FindMount(Utf16ToUtf8(path));
        if (!mount)
            return {};
        std::string root = mount->mountPoint;
        if (root.empty() || root.back() != '/')
            root.push_back('/');
        return Utf8ToUtf16(root);
    }

    std::optional<std::uint64_t> VolumeTotalBytes(const std::u16string& path) override {
        struct statvfs info {};
        if (statvfs(Utf16ToUtf8(path).c_str(), &info) != 0)
            return std::nullopt;
        return static_cast<std::uint64_t>(info.f_blocks) * info.f_frsize;
    }

    bool IsFolderWritable(const std::u16string& folder) override {
        return access(Utf16ToUtf8(folder).c_str(), W_OK | X_OK) == 0;
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
        fs::create_directory(ToFsPath(path), ec);
        return fs::is_directory(ToFsPath(path), ec);
    }

    bool FolderExists(const std::u16string& path) override {
        std::error_code ec;
        return fs::is_directory(ToFsPath(path), ec);
    }

    bool CopyFileOver(const std::u16string& from, const std::u16string& to) override {
        // Copy next to the destination, then rename over it: a running copy of the program keeps its old file.
        // The bytes are copied by hand: the FAT drivers refuse the mode change that a library copy makes.
        const std::string source = Utf16ToUtf8(from), target = Utf16ToUtf8(to), part = target + ".part";
        const int in = ::open(source.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        struct stat st {};
        if (in < 0)
            return false;
        if (::fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
            ::close(in);
            return false;
        }
        // Whatever stands at the temporary name goes first: a link planted there is not written through.
        ::unlink(part.c_str());
        const int out = ::open(part.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, st.st_mode & 0777);
        bool ok = out >= 0;
        char buffer[65536];
        while (ok) {
            const ssize_t n = ::read(in, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                ok = n == 0;
                break;
            }
            for (ssize_t done = 0; ok && done < n;) {
                const ssize_t w = ::write(out, buffer + done, static_cast<std::size_t>(n - done));
                ok = w > 0 || (w < 0 && errno == EINTR);
                done += w > 0 ? w : 0;
            }
        }
        ok = ok && ::fsync(out) == 0;
        ::close(in);
        if (out >= 0 && ::close(out) != 0)
            ok = false;
        if (ok && ::rename(part.c_str(), target.c_str()) == 0)
            return true;
        ::unlink(part.c_str());
        return false;
    }

    bool CopyFolderInto(const std::u16string& folder, const std::u16string& destinationFolder) override {
        std::error_code ec;
        fs::path src = ToFsPath(folder);
        while (!src.empty() && !src.has_filename())
            src = src.parent_path();
        if (!fs::is_directory(src, ec))
            return false;
        fs::path dst = ToFsPath(destinationFolder) / src.filename();
        // The previous copy goes first (links in it are removed, not followed), and links on the card are not
        // followed either: a link loop in the card's folder cannot make the copy recurse.
        fs::remove_all(dst, ec);
        ec.clear();
        fs::copy(src, dst, fs::copy_options::recursive | fs::copy_options::skip_symlinks, ec);
        return !ec;
    }

    bool StartProgram(const std::u16string& program, const std::u16string& argument,
                      const std::u16string& workingFolder) override {
        std::string prog = Utf16ToUtf8(program), arg = Utf16ToUtf8(argument), dir = Utf16ToUtf8(workingFolder);
        // The new program's start is known only when its exec succeeds: a pipe that closes on exec, and that the
        // grandchild writes to when it cannot get that far.
        int started[2];
        if (pipe2(started, O_CLOEXEC) != 0)
            return false;
        pid_t child = fork();
        if (child < 0) {
            close(started[0]);
            close(started[1]);
            return false;
        }
        if (child == 0) {
            // A grandchild that nobody waits for: the new program outlives this one.
            close(started[0]);
            setsid();
            pid_t grandchild = fork();
            if (grandchild != 0)
                _exit(grandchild < 0 ? 1 : 0);
            const char failed = 1;
            if (!dir.empty() && chdir(dir.c_str()) != 0) {
                (void)!write(started[1], &failed, 1);
                _exit(127);
            }
            int devnull = open("/dev/null", O_RDONLY);
            if (devnull >= 0)
                dup2(devnull, STDIN_FILENO);
            char* argv[] = {prog.data(), arg.data(), nullptr};
            execv(prog.c_str(), argv);
            (void)!write(started[1], &failed, 1);
            _exit(127);
        }
        close(started[1]);
        int status = 0;
        waitpid(child, &status, 0);
        char failed = 0;
        ssize_t got;
        do
            got = read(started[0], &failed, 1);
        while (got < 0 && errno == EINTR);
        close(started[0]);
        return WIFEXITED(status) && WEXITSTATUS(status) == 0 && got == 0;
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

    std::vector<std::u16string> MountedVolumes() override {
        // File systems of the kernel's own (proc, sysfs, cgroups, ...) hold no card.
        static const char* const kPseudo[] = {"proc",     "sysfs",  "cgroup", "cgroup2", "devpts", "mqueue",
                                              "debugfs",  "tracefs", "securityfs", "pstore", "bpf", "configfs",
                                              "fusectl", "hugetlbfs", "autofs", "binfmt_misc", "nsfs", "devtmpfs"};
        std::ifstream table("/proc/self/mountinfo");
        std::vector<std::u16string> roots;
        for (const MountEntry& entry : ReadMountTable(table)) {
            if (std::find(std::begin(kPseudo), std::end(kPseudo), entry.fileSystemType) != std::end(kPseudo))
                continue;
            std::u16string root = Utf8ToUtf16(entry.mountPoint);
            if (root.back() != u'/')
                root.push_back(u'/');
            if (std::find(roots.begin(), roots.end(), root) == roots.end())
                roots.push_back(root);
        }
        return roots;
    }

    LocalDateTime LocalNow() override {
        std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        return {local.tm_year + 1900, local.tm_mon + 1, local.tm_wday, local.tm_mday,
                local.tm_hour,        local.tm_min,     local.tm_sec};
    }
};

} // namespace

HostSystem& PlatformHost() {
    static PosixHostSystem host;
    return host;
}

namespace {

// The places where the desktop (UDisks2) mounts the user's removable media.
bool IsInUsersMediaPlace(const std::string& root) {
    struct passwd entry {};
    struct passwd* found = nullptr;
    char buffer[4096];
    if (::getpwuid_r(::geteuid(), &entry, buffer, sizeof buffer, &found) != 0 || !found || !*found->pw_name)
        return false;
    const std::string user = found->pw_name;
    for (const std::string& place : {"/media/" + user + "/", "/run/media/" + user + "/"})
        if (root.size() > place.size() && root.starts_with(place))
            return true;
    return false;
}

} // namespace

bool IsUsersCardVolume(const std::u16string& root) {
    const std::string native = Utf16ToUtf8(root);
    struct stat st {};
    if (::stat(native.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid())
        return false;
    return IsInUsersMediaPlace(native.back() == '/' ? native : native + "/") || Host().IsOnRemovableDrive(root);
}

} // namespace dashcam
