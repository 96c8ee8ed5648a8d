#include "platform/files/format_guard.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <set>
#include <thread>

#include "platform/text_codec.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace dashcam {
namespace {

const char* const kFormatting = "the memory card is being formatted by another program";

// The device's name as a file or object name: letters and digits kept, everything else '-'.
std::u16string NameOf(const std::u16string& device) {
    std::u16string out;
    for (char16_t c : device)
        out.push_back((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') ? c : u'-');
    return out;
}

#ifndef _WIN32
// True when the folder is a real folder (not a link) of this user that nobody else may enter.
bool IsPrivateFolder(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() &&
           (st.st_mode & 077) == 0;
}
#endif

// The volumes this process formats: its own card operations during the format (the backup and the restore)
// go ahead.
std::mutex g_mutex;
std::set<std::u16string>& OwnFormats() {
    static auto* formats = new std::set<std::u16string>;
    return *formats;
}

} // namespace

std::u16string PrivateRuntimeFolder() {
#ifdef _WIN32
    wchar_t temp[MAX_PATH + 1] = {};
    const DWORD n = GetTempPathW(MAX_PATH + 1, temp);
    std::u16string out(reinterpret_cast<const char16_t*>(temp), n);
    while (!out.empty() && (out.back() == u'\\' || out.back() == u'/'))
        out.pop_back();
    return out;
#else
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime == '/' && IsPrivateFolder(runtime))
        return Utf8ToUtf16(runtime);
    const char* tmp = std::getenv("TMPDIR");
    const std::string folder = std::string(tmp && *tmp == '/' ? tmp : "/tmp") + "/dashcam-" +
                               std::to_string(static_cast<unsigned long>(::geteuid()));
    ::mkdir(folder.c_str(), 0700);
    // Someone else's folder of that name (made first to catch our lock files) is never used.
    return IsPrivateFolder(folder) ? Utf8ToUtf16(folder) : std::u16string();
#endif
}

FormatGuard FormatGuard::Acquire(const std::u16string& device, Kind kind, std::chrono::milliseconds wait) {
    FormatGuard guard;
    if (kind == Kind::Use) {
        std::lock_guard<std::mutex> hold(g_mutex);
        if (OwnFormats().count(device)) {
            guard.held_ = true;
            return guard;
        }
    }
#ifdef _WIN32
    // A format takes the volume's mutex; an operation only checks that no format holds it.
    const std::u16string key = NameOf(device);
    const std::wstring name = L"Local\\DashcamFormat-" + std::wstring(key.begin(), key.end());
    HANDLE mutex = ::CreateMutexW(nullptr, FALSE, name.c_str());
    if (!mutex) {
        guard.message_ = "the format lock cannot be created";
        return guard;
    }
    const DWORD r = ::WaitForSingleObject(mutex, static_cast<DWORD>(wait.count()));
    if (r != WAIT_OBJECT_0 && r != WAIT_ABANDONED) {
        ::CloseHandle(mutex);
        guard.message_ = kFormatting;
        return guard;
    }
    if (kind == Kind::Use) {
        ::ReleaseMutex(mutex);
        ::CloseHandle(mutex);
        guard.held_ = true;
        return guard;
    }
    guard.handle_ = reinterpret_cast<std::intptr_t>(mutex);
    guard.held_ = true;
    guard.device_ = device;
    std::lock_guard<std::mutex> hold(g_mutex);
    OwnFormats().insert(device);
    return guard;
#else
    const std::u16string folder = PrivateRuntimeFolder();
    const std::string path = Utf16ToUtf8(folder + u"/dashcam-format-" + NameOf(device) + u".lock");
    // Only a format makes the lock file: where there is none, no format of the volume has run on this computer.
    const int fd = folder.empty() ? -1
                                  : ::open(path.c_str(),
                                           O_RDWR | O_NOFOLLOW | O_CLOEXEC | (kind == Kind::Format ? O_CREAT : 0), 0600);
    if (fd < 0) {
        // Without the lock no format can have taken it either: an operation goes ahead.
        guard.held_ = kind == Kind::Use;
        guard.message_ = std::string("the format lock cannot be opened (") +
                         (folder.empty() ? "no private folder for it" : std::strerror(errno)) + ")";
        return guard;
    }
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        if (::flock(fd, (kind == Kind::Format ? LOCK_EX : LOCK_SH) | LOCK_NB) == 0)
            break;
        const int error = errno;
        if ((error != EWOULDBLOCK && error != EINTR) || std::chrono::steady_clock::now() >= deadline) {
            // A lock this computer cannot take at all (ENOLCK) holds nothing back: an operation goes ahead.
            guard.held_ = kind == Kind::Use && error != EWOULDBLOCK;
            guard.message_ = error == EWOULDBLOCK ? kFormatting : std::strerror(error);
            ::close(fd);
            return guard;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    guard.handle_ = fd;
    guard.held_ = true;
    if (kind == Kind::Format) {
        guard.device_ = device;
        std::lock_guard<std::mutex> hold(g_mutex);
        OwnFormats().insert(device);
    }
    return guard;
#endif
}

void FormatGuard::Release() {
    if (handle_ != -1) {
#ifdef _WIN32
        ::ReleaseMutex(reinterpret_cast<HANDLE>(handle_));
        ::CloseHandle(reinterpret_cast<HANDLE>(handle_));
#else
        ::close(static_cast<int>(handle_));
#endif
    }
    if (!device_.empty()) {
        std::lock_guard<std::mutex> hold(g_mutex);
        OwnFormats().erase(device_);
    }
    device_.clear();
    handle_ = -1;
    held_ = false;
}

FormatGuard::~FormatGuard() { Release(); }

FormatGuard::FormatGuard(FormatGuard&& other) noexcept
    : held_(other.held_), handle_(other.handle_), device_(std::move(other.device_)),
      message_(std::move(other.message_)) {
    other.device_.clear();
    other.handle_ = -1;
    other.held_ = false;
}

FormatGuard& FormatGuard::operator=(FormatGuard&& other) noexcept {
    if (this != &other) {
        Release();
        held_ = other.held_;
        handle_ = other.handle_;
        device_ = std::move(other.device_);
        message_ = std::move(other.message_);
        other.device_.clear();
        other.handle_ = -1;
        other.held_ = false;
    }
    return *this;
}

} // namespace dashcam
