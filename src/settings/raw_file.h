#pragma once
// A file handle on the card with positioned reads and writes, a flush to the medium and the reason of the last
// failure. The same operations on POSIX and Win32, so that the save's ordering is written once.
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace dashcam {

class RawFile {
public:
    enum class Mode {
        Read,      // an existing file, read only
        ReadWrite, // an existing file, read and write, never truncated
        CreateNew, // a file that must not exist yet, read and write
        Replace,   // created or emptied, write only
    };

    RawFile() = default;
    ~RawFile();
    RawFile(RawFile&& other) noexcept;
    RawFile& operator=(RawFile&& other) noexcept;
    RawFile(const RawFile&) = delete;
    RawFile& operator=(const RawFile&) = delete;

    // Opens `path`; check ok(). On Windows the file is opened without sharing it for writing.
    static RawFile Open(const std::u16string& path, Mode mode);

    bool ok() const { return open_; }
    // True when the last failure was that the file (or its folder) does not exist.
    bool missing() const { return missing_; }
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
    static bool Remove(const std::u16string& path, std::string* why = nullptr);
    // Flushes a folder's entries to the medium where the platform allows it (best effort).
    static void SyncFolder(const std::u16string& folder);

private:
    void Fail();
#ifdef _WIN32
    void* handle_ = nullptr;
#else
    int fd_ = -1;
#endif
    bool open_ = false;
    bool missing_ = false;
    std::string error_;
};

} // namespace dashcam
