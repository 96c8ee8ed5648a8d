#pragma once
// A lock of this computer on a volume that is being formatted, keyed by the volume's device rather than by any
// folder on it: it lives outside the card, so holding it neither keeps the card's file system busy (it must be
// unmounted) nor goes away when the card is remounted. Card operations wait while a format holds it.
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>

namespace dashcam {

class FormatGuard {
public:
    enum class Kind {
        Format, // the one format of the volume: nobody else
        Use,    // an operation on a card of the volume: any number at once, but not during a format
    };

    // Takes the guard of the volume whose VolumeIdentity::device is `device`, waiting up to `wait`.
    static FormatGuard Acquire(const std::u16string& device, Kind kind, std::chrono::milliseconds wait);

    FormatGuard() = default;
    ~FormatGuard();
    FormatGuard(FormatGuard&& other) noexcept;
    FormatGuard& operator=(FormatGuard&& other) noexcept;
    FormatGuard(const FormatGuard&) = delete;
    FormatGuard& operator=(const FormatGuard&) = delete;

    bool held() const { return held_; }
    // Why it is not held: "the memory card is being formatted by another program", or a system error.
    const std::string& message() const { return message_; }

private:
    // The system's half (posix/posix_format_guard.cpp, win32/win32_format_guard.cpp): the lock of this computer on
    // the volume whose device is spelled `name` as a file name; sets held_, handle_ and message_.
    void Take(const std::u16string& name, Kind kind, std::chrono::milliseconds wait);
    static void Give(std::intptr_t handle);
    static constexpr char kFormatting[] = "the memory card is being formatted by another program";

    void Release();
    bool held_ = false;
    std::intptr_t handle_ = -1;
    std::u16string device_; // the volume this process formats while the guard is held
    std::string message_;
};

#ifndef _WIN32
// A folder of this computer that only the current user can enter, for lock files: $XDG_RUNTIME_DIR when it is
// the user's own and private, else a folder of the user's own below the temporary folder, made and checked
// here. Empty when there is no such folder. Always ends without a separator. (Windows takes its locks as named
// mutexes and needs no such folder.)
std::filesystem::path PrivateRuntimeFolder();
#endif

} // namespace dashcam
