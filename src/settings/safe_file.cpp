#include "settings/safe_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

#include "platform/text_codec.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#undef ReplaceFile // the Win32 macro would rename ours
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace dashcam {
namespace fs = std::filesystem;

namespace {

fs::path ToPath(const std::u16string& s) {
#ifdef _WIN32
    return fs::path(std::wstring(s.begin(), s.end()));
#else
    return fs::path(Utf16ToUtf8(s));
#endif
}

bool IsRegularFile(const fs::path& p) {
    std::error_code ec;
    return fs::is_regular_file(p, ec);
}

// Opens a file for binary reading; false for folders, devices and whatever cannot be opened.
bool OpenRegularFile(const fs::path& p, std::ifstream& in) {
    if (!IsRegularFile(p))
        return false;
    in.open(p, std::ios::binary);
    return static_cast<bool>(in);
}

#ifndef _WIN32
bool WriteAll(int fd, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// Writes `head` and then the old file's bytes beyond it into a temporary file in the same folder, then
// renames it over the target.
bool ReplaceWithTail(const fs::path& target, std::span<const std::uint8_t> head, bool keepTail,
                     const std::function<void()>& onOpened) {
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode))
        return false;
    int source = -1;
    if (exists && keepTail) {
        source = ::open(target.c_str(), O_RDONLY | O_CLOEXEC);
        if (source < 0)
            return false;
    }
    if (exists && ::access(target.c_str(), W_OK) != 0) {
        if (source >= 0)
            ::close(source);
        return false;
    }
    fs::path folder = target.parent_path();
    if (folder.empty())
        folder = ".";
    std::string pattern = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        if (source >= 0)
            ::close(source);
        return false;
    }
    if (onOpened)
        onOpened();
    bool ok = WriteAll(fd, head.data(), head.size());
    if (ok && source >= 0 && static_cast<std::uint64_t>(old.st_size) > head.size()) {
        ok = ::lseek(source, static_cast<off_t>(head.size()), SEEK_SET) >= 0;
        std::vector<std::uint8_t> buffer(64 * 1024);
        while (ok) {
            ssize_t n = ::read(source, buffer.data(), buffer.size());
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                ok = false;
            else if (n == 0)
                break;
            else
                ok = WriteAll(fd, buffer.data(), static_cast<std::size_t>(n));
        }
    }
    if (source >= 0)
        ::close(source);
    if (ok)
        ok = ::fchmod(fd, exists ? (old.st_mode & 07777) : 0644) == 0 || !exists;
    if (ok)
        ok = ::fsync(fd) == 0;
    if (::close(fd) != 0)
        ok = false;
    if (ok)
        ok = ::rename(pattern.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(pattern.c_str());
        return false;
    }
    int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}
#else
bool WriteAll(HANDLE file, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 20));
        DWORD written = 0;
        if (!::WriteFile(file, data, chunk, &written, nullptr) || written == 0)
            return false;
        data += written;
        size -= written;
    }
    return true;
}

// Writes `head` and then the old file's bytes beyond it into a temporary file in the same folder, flushes it
// to the medium, then moves it over the target.
bool ReplaceWithTail(const fs::path& target, std::span<const std::uint8_t> head, bool keepTail,
                     const std::function<void()>& onOpened) {
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (exists && (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0)
        return false;
    HANDLE source = INVALID_HANDLE_VALUE;
    if (exists && keepTail) {
        source = ::CreateFileW(target.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        if (source == INVALID_HANDLE_VALUE)
            return false;
    }
    fs::path temp = target;
    temp += L".new";
    HANDLE out =
        ::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) {
        if (source != INVALID_HANDLE_VALUE)
            ::CloseHandle(source);
        return false;
    }
    if (onOpened)
        onOpened();
    bool ok = WriteAll(out, head.data(), head.size());
    if (ok && source != INVALID_HANDLE_VALUE) {
        LARGE_INTEGER offset;
        offset.QuadPart = static_cast<LONGLONG>(head.size());
        ok = ::SetFilePointerEx(source, offset, nullptr, FILE_BEGIN) != 0;
        std::vector<std::uint8_t> buffer(64 * 1024);
        while (ok) {
            DWORD n = 0;
            if (!::ReadFile(source, buffer.data(), static_cast<DWORD>(buffer.size()), &n, nullptr))
                ok = false;
            else if (n == 0)
                break;
            else
                ok = WriteAll(out, buffer.data(), n);
        }
    }
    if (source != INVALID_HANDLE_VALUE)
        ::CloseHandle(source);
    if (ok)
        ok = ::FlushFileBuffers(out) != 0;
    if (!::CloseHandle(out))
        ok = false;
    if (ok)
        ok = ::MoveFileExW(temp.c_str(), target.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    if (!ok) {
        ::DeleteFileW(temp.c_str());
        return false;
    }
    return true;
}
#endif

} // namespace

std::optional<FileHead> ReadFileHead(const std::u16string& path, std::size_t maxBytes) {
    const fs::path p = ToPath(path);
    std::ifstream in;
    if (!OpenRegularFile(p, in))
        return std::nullopt;
    FileHead head;
    std::error_code ec;
    head.fileSize = fs::file_size(p, ec);
    if (ec)
        return std::nullopt;
    head.bytes.resize(static_cast<std::size_t>(std::min<std::uint64_t>(maxBytes, head.fileSize)));
    in.read(reinterpret_cast<char*>(head.bytes.data()), static_cast<std::streamsize>(head.bytes.size()));
    if (in.gcount() != static_cast<std::streamsize>(head.bytes.size()))
        return std::nullopt;
    return head;
}

std::optional<std::string> ReadFirstLine(const std::u16string& path, std::size_t maxChars) {
    const fs::path p = ToPath(path);
    std::ifstream in;
    if (!OpenRegularFile(p, in))
        return std::nullopt;
    std::string line;
    bool any = false;
    char c;
    while (in.get(c)) {
        any = true;
        if (c == '\n')
            break;
        if (line.size() < maxChars)
            line.push_back(c);
    }
    if (in.bad() || !any)
        return std::nullopt;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

std::optional<std::vector<std::string>> ReadTextLines(const std::u16string& path, std::size_t maxBytes) {
    const fs::path p = ToPath(path);
    std::ifstream in;
    if (!OpenRegularFile(p, in))
        return std::nullopt;
    std::vector<std::string> lines;
    std::string line;
    std::size_t total = 0;
    char c;
    bool pending = false;
    while (total < maxBytes && in.get(c)) {
        ++total;
        if (c == '\n') {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            lines.push_back(std::move(line));
            line.clear();
            pending = false;
        } else {
            line.push_back(c);
            pending = true;
        }
    }
    if (in.bad())
        return std::nullopt;
    if (pending) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(std::move(line));
    }
    return lines;
}

bool ReplaceFileHead(const std::u16string& path, std::span<const std::uint8_t> head,
                     const std::function<void()>& onOpened) {
    return ReplaceWithTail(ToPath(path), head, true, onOpened);
}

bool ReplaceFile(const std::u16string& path, std::span<const std::uint8_t> content) {
    return ReplaceWithTail(ToPath(path), content, false, {});
}

bool RemoveFileIfPresent(const std::u16string& path) {
    fs::path p = ToPath(path);
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(p, ec)))
        return true;
    if (fs::is_directory(fs::symlink_status(p, ec)))
        return false;
    fs::remove(p, ec);
    return !fs::exists(fs::symlink_status(p, ec));
}

} // namespace dashcam
