#pragma once
// Formatting a whole volume: the host's format facility behind one interface. The call reports progress steps
// and its result through a callback, as the Windows format library does.
#include <cstdint>
#include <functional>
#include <string>

namespace dashcam {

// Commands that a format reports through its callback.
inline constexpr int kFormatProgressCommand = 15; // a step of the format
inline constexpr int kFormatDoneCommand = 11;     // the end; info points to one byte, 1 = succeeded

struct FormatRequest {
    std::u16string volume;     // the volume's root: "E:\" on Windows, the exact mount point elsewhere
    std::u16string fileSystem; // u"FAT32" or u"exfat"
    std::u16string label;
    bool quick = true;
    std::uint32_t clusterSize = 0; // bytes; 0 is the file system's default
    std::u16string device; // VolumeIdentity::device of the volume the user confirmed: the formatter erases nothing
                           // unless the volume mounted at `volume` is still this one; empty: not checked
};

// Called on the formatting thread: command, sub-action, command-specific information. Returning false asks
// the format to stop.
using FormatCallback = std::function<bool(int command, int subAction, const void* info)>;

struct FormatRun {
    bool ran = false; // false: the format facility itself is missing, nothing was done
    std::u16string
        unavailableText; // then why: "LoadLibrary(fmifs.dll) failed", "GetProcAddress(fmifs) failed", ...
    std::u16string volumeAfter; // the volume's root after the format (a remount may move it)
    std::u16string note;        // what the user should know about how it was done, or empty
    bool erased = false;        // the formatter got as far as writing to the volume (or may have)
};

class VolumeFormatter {
public:
    virtual ~VolumeFormatter() = default;
    // Formats the volume. Progress and the result travel only through the callback; a run that never reports
    // kFormatDoneCommand failed.
    virtual FormatRun Format(const FormatRequest& request, const FormatCallback& callback) = 0;
};

// The formatter in use: the platform's own unless a program or a test installed another.
VolumeFormatter& Formatter();
// Installs a replacement (nullptr restores the platform's own); the caller keeps ownership.
void SetFormatter(VolumeFormatter* formatter);

// The label as the file system stores it, at most 11 characters on every platform (the exFAT limit, and what
// Windows' format accepts): for FAT32 upper case and only characters that a FAT label may hold (others become
// '_'); for exFAT the first 11 UTF-16 units, never half of a surrogate pair.
std::u16string FileSystemLabel(const std::u16string& label, const std::u16string& fileSystem);
// Whether the file-system name is exFAT (any case); anything else is formatted FAT32.
bool IsExfat(const std::u16string& fileSystem);

// Reports the end of a format through the callback: command 11 with a one-byte result.
void ReportFormatDone(const FormatCallback& callback, bool succeeded);

} // namespace dashcam
