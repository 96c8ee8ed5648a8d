#pragma once
// A file handle on the card with positioned reads and writes, a flush to the medium and the reason of the last
// failure. The same operations on POSIX and Win32, so that the save's ordering is written once.
//
// Nothing is ever written through a symbolic link (or, on Windows, any reparse point): the modes that write, and
// ReadHere, open the name itself and refuse a link with "it is a symbolic link", so that a link planted on a card
// cannot send a write anywhere else on the computer. Hard links are the same file and are written like it.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>

namespace dashcam {

class RawFile {
public:
    enum class Mode {
        Read,      // an existing file, read only, through a link too
        ReadHere,  // an existing file, read only, refused when the name is a link
        ReadWrite, // an existing file, read and write, never truncated; refused when the name is a link
        CreateNew, // a file that must not exist yet (a link there counts as existing), read and write
    };

    RawFile() = default;
    ~RawFile();
    RawFile(RawFile&& other) noexcept;
    RawFile& operator=(RawFile&& other) noexcept;
    RawFile(const RawFile&) = delete;
    RawFile& operator=(const RawFile&) = delete;

    // Opens `path`; check ok(). On Windows the file is opened without sharing it for writing.
    static RawFile Open(const std::filesystem::path& path, Mode mode);

    bool ok() const { return open_; }
    // True when the last failure was that the file (or its folder) does not exist.
    bool missing() const { return missing_; }
    // True when the last failure was that the name is a symbolic link (a mode that does not follow links).
    bool link() const { return link_; }
    // Why the last operation failed, for messages ("Permission denied").
    const std::string& error() const { return error_; }

    bool IsRegular();
    std::optional<std::uint64_t> Size();
    // Reads up to out.size() bytes at `offset`, fewer only at the end of the file; nullopt on an error.
    std::optional<std::size_t> ReadAt(std::uint64_t offset, std::span<std::uint8_t> out);
    bool WriteAt(std::uint64_t offset, std::span<const std::uint8_t> bytes);
    bool Truncate(std::uint64_t size);
    // Flushes the file's data and size to the medium.
    bool Sync();
    void Close();

    // Removes a file; a missing one is no error. `why` gets the reason of a failure.
    static bool Remove(const std::filesystem::path& path, std::string* why = nullptr);
    // Flushes a folder's entries to the medium where the platform allows it (best effort); an empty path is
    // the current folder.
    static void SyncFolder(const std::filesystem::path& folder);
    // The same for the folder that holds `file`.
    static void SyncFolderOf(const std::filesystem::path& file);

    // Which file or folder a path names, whatever its spelling: device and inode (volume serial number and file
    // index on Windows); nullopt when it cannot be asked. An empty path is the current folder.
    struct Identity {
        std::uint64_t device = 0;
        std::uint64_t index = 0;
        bool operator==(const Identity&) const = default;
        auto operator<=>(const Identity&) const = default;
    };
    static std::optional<Identity> IdentityOf(const std::filesystem::path& path);

private:
    void Fail();
    // The open file: a descriptor, or a Windows handle.
#ifdef _WIN32
    using Handle = void*;
    static constexpr Handle kClosed = nullptr;
#else
    using Handle = int;
    static constexpr Handle kClosed = -1;
#endif
    Handle handle_ = kClosed;
    bool open_ = false;
    bool missing_ = false;
    bool link_ = false;
    std::string error_;
};

} // namespace dashcam
