// The card's files on Windows: handles with overlapped positions, FlushFileBuffers.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>

#include "platform/files/raw_file.h"
#include "platform/win32/win32_error_text.h"

namespace dashcam {
namespace {

// One call's share of a long read or write: at most 1 MiB, at `offset`.
constexpr std::size_t kChunk = 1u << 20;
OVERLAPPED At(std::uint64_t offset) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return at;
}

} // namespace

void RawFile::Fail() {
    const DWORD code = ::GetLastError();
    missing_ = code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND;
    link_ = false;
    error_ = Win32ErrorText(code);
}

RawFile RawFile::Open(const std::filesystem::path& path, Mode mode) {
    RawFile file;
    DWORD access = GENERIC_READ, share = FILE_SHARE_READ, disposition = OPEN_EXISTING;
    // Every mode but Read opens a reparse point (a symbolic link, a junction) itself, which is then refused.
    DWORD flags = FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT;
    switch (mode) {
    case Mode::Read:
        share = FILE_SHARE_READ | FILE_SHARE_WRITE;
        flags = FILE_ATTRIBUTE_NORMAL;
        break;
    case Mode::ReadHere:
        share = FILE_SHARE_READ | FILE_SHARE_WRITE;
        break;
    case Mode::ReadWrite:
        access = GENERIC_READ | GENERIC_WRITE;
        break;
    case Mode::CreateNew:
        access = GENERIC_READ | GENERIC_WRITE;
        disposition = CREATE_NEW;
        break;
    }
    HANDLE h = ::CreateFileW(path.c_str(), access, share, nullptr, disposition, flags, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        file.Fail();
        return file;
    }
    if (mode != Mode::Read) {
        BY_HANDLE_FILE_INFORMATION info{};
        if (!::GetFileInformationByHandle(h, &info) || (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
            const bool link = (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
            if (!link)
                file.Fail();
            ::CloseHandle(h);
            if (link) {
                file.link_ = true;
                file.error_ = "it is a symbolic link";
            }
            return file;
        }
    }
    file.handle_ = h;
    file.open_ = true;
    return file;
}

bool RawFile::IsRegular() {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(handle_, &info)) {
        Fail();
        return false;
    }
    if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        error_ = "it is a folder";
        return false;
    }
    if (::GetFileType(handle_) != FILE_TYPE_DISK) {
        error_ = "it is not a regular file";
        return false;
    }
    return true;
}

std::optional<std::uint64_t> RawFile::Size() {
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(handle_, &size)) {
        Fail();
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(size.QuadPart);
}

std::optional<std::size_t> RawFile::ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) {
    std::size_t got = 0;
    while (got < out.size()) {
        OVERLAPPED at = At(offset + got);
        DWORD n = 0;
        const DWORD chunk = static_cast<DWORD>(std::min(out.size() - got, kChunk));
        if (!::ReadFile(handle_, out.data() + got, chunk, &n, &at)) {
            if (::GetLastError() == ERROR_HANDLE_EOF)
                break;
            Fail();
            return std::nullopt;
        }
        if (n == 0)
            break;
        got += n;
    }
    return got;
}

bool RawFile::WriteAt(std::uint64_t offset, std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        OVERLAPPED at = At(offset + done);
        DWORD n = 0;
        const DWORD chunk = static_cast<DWORD>(std::min(bytes.size() - done, kChunk));
        if (!::WriteFile(handle_, bytes.data() + done, chunk, &n, &at) || n == 0) {
            Fail();
            return false;
        }
        done += n;
    }
    return true;
}

bool RawFile::Truncate(std::uint64_t size) {
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(size);
    if (!::SetFilePointerEx(handle_, at, nullptr, FILE_BEGIN) || !::SetEndOfFile(handle_)) {
        Fail();
        return false;
    }
    return true;
}

bool RawFile::Sync() {
    if (!::FlushFileBuffers(handle_)) {
        Fail();
        return false;
    }
    return true;
}

void RawFile::Close() {
    if (handle_)
        ::CloseHandle(handle_);
    handle_ = nullptr;
    open_ = false;
}

bool RawFile::Remove(const std::filesystem::path& path, std::string* why) {
    if (::DeleteFileW(path.c_str()))
        return true;
    const DWORD code = ::GetLastError();
    if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND)
        return true;
    if (why)
        *why = Win32ErrorText(code);
    return false;
}

void RawFile::SyncFolder(const std::filesystem::path&) {
    // Windows flushes a file's directory entry with the file itself.
}

std::optional<RawFile::Identity> RawFile::IdentityOf(const std::filesystem::path& path) {
    // A folder opens only with backup semantics; no access is asked for, only its information. An empty path is
    // the current folder, as everywhere else in the card's files.
    HANDLE h = ::CreateFileW(path.empty() ? L"." : path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool known = ::GetFileInformationByHandle(h, &info);
    ::CloseHandle(h);
    if (!known)
        return std::nullopt;
    return Identity{info.dwVolumeSerialNumber,
                    static_cast<std::uint64_t>(info.nFileIndexHigh) << 32 | info.nFileIndexLow};
}

} // namespace dashcam
