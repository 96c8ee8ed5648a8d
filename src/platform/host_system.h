#pragma once
// Host services that the card hand-over and the card files need: the program's own path, drive kinds, the local
// application-data folder, file copies, starting a program, and the host's time-zone offset.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace dashcam {

// A moment of the host's local clock, as GetLocalTime gives it (dayOfWeek 0 = Sunday).
struct LocalDateTime {
    int year = 0, month = 0, dayOfWeek = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// The volume that holds a path, as a format must know it to erase exactly that volume and nothing else.
struct VolumeIdentity {
    std::u16string root;   // VolumeRootOf: the drive root or the exact mount point, ending in a separator
    std::u16string device; // what the volume is, independent of where it is mounted: the block device's
                           // "major:minor" on Linux, the volume GUID path ("\\?\Volume{...}\") on Windows
    std::u16string label;  // the volume's label, or empty
    std::uint64_t totalBytes = 0; // the size of the device (or of the file system when the device's is unknown)
    bool removableCard = false;   // a memory card in a card slot or reader, as opposed to a fixed disk
    bool readOnly = false;        // write-protected (a card's lock switch, or a read-only device)
    std::u16string notCardReason; // when not removableCard: why, for the user
};

#ifdef _WIN32
inline constexpr char16_t kPathSeparator = u'\\';
#else
inline constexpr char16_t kPathSeparator = u'/';
#endif

class HostSystem {
public:
    virtual ~HostSystem() = default;

    // Full path of the running program file (GetModuleFileNameW); empty when unknown.
    virtual std::u16string ModuleFilePath() = 0;
    // True when the folder lies on a removable drive (GetDriveTypeW of its drive root is DRIVE_REMOVABLE).
    virtual bool IsOnRemovableDrive(const std::u16string& folder) = 0;
    // The root of the volume that holds the path, ending in a separator: on Windows the drive root (up to and
    // including the first backslash, as E:\ ), elsewhere the mount point of the file system that holds the path
    // (as /media/u/CARD/). Empty when unknown. Every use of the card's drive goes through this one function.
    virtual std::u16string VolumeRootOf(const std::u16string& path) = 0;
    // Total size in bytes of the file system that holds the path; nullopt when it cannot be asked.
    virtual std::optional<std::uint64_t> VolumeTotalBytes(const std::u16string& path) = 0;
    // True when a file can be created in the folder.
    virtual bool IsFolderWritable(const std::u16string& folder) = 0;
    // The per-user local application-data folder, without a trailing separator; nullopt when unknown.
    virtual std::optional<std::u16string> LocalAppDataFolder() = 0;
    // Creates one folder; true when it exists afterwards.
    virtual bool CreateFolder(const std::u16string& path) = 0;
    virtual bool FolderExists(const std::u16string& path) = 0;
    // Copies one file, replacing an existing destination; false when the copy failed.
    virtual bool CopyFileOver(const std::u16string& from, const std::u16string& to) = 0;
    // Copies a folder with everything in it into the destination folder, without asking.
    virtual bool CopyFolderInto(const std::u16string& folder, const std::u16string& destinationFolder) = 0;
    // Starts a program detached from this one with exactly one argument and the given working folder.
    virtual bool StartProgram(const std::u16string& program, const std::u16string& argument,
                              const std::u16string& workingFolder) = 0;
    // The host's standard UTC bias in minutes west of UTC, without any daylight part (GetTimeZoneInformation's
    // Bias): UTC+9 is -540, New York 300.
    virtual std::int32_t StandardBiasMinutes() = 0;
    // The host's local date and time now.
    virtual LocalDateTime LocalNow() = 0;
    // The roots of the mounted volumes, each ending in a separator: the drive roots on Windows, the mount points
    // of real file systems elsewhere (a mount point hidden under a later mount counts once).
    virtual std::vector<std::u16string> MountedVolumes() = 0;
    // The volume that holds the path; nullopt when it cannot be found. The platforms ask the system itself;
    // this default builds the answer from the calls above, with the root standing in for the device.
    virtual std::optional<VolumeIdentity> VolumeOf(const std::u16string& path);
    // Creates a new folder below `parent` that only this user can enter, named `prefix` and something unique,
    // and returns its path ending in a separator; nullopt when it cannot be made.
    virtual std::optional<std::u16string> CreatePrivateFolder(const std::u16string& parent, const std::u16string& prefix);
};

// The host services in use: the platform's own unless a test installed others.
HostSystem& Host();
// Installs a replacement (nullptr restores the platform's own); the caller keeps ownership.
void SetHost(HostSystem* host);

// Text of a path up to and including its first separator (the drive root on Windows, "/" elsewhere).
std::u16string DriveRootOf(const std::u16string& path);
// Text of a path up to and including its last separator; empty when it has none.
std::u16string FolderOf(const std::u16string& path);

// True when a mounted volume's root may be offered to this user as a card: on POSIX a mount whose root folder the
// user owns, and which is either on a removable drive or mounted in the desktop's places for the user's removable
// media (/media/USER/..., /run/media/USER/...); on Windows a removable drive. A mount that another user controls
// (a tmpfs under /dev/shm, someone else's stick) is not this user's card, whatever it holds.
bool IsUsersCardVolume(const std::u16string& root);

} // namespace dashcam
