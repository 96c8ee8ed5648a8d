// The format lock on POSIX systems: a lock file in the user's private runtime folder, taken with flock (shared by
// the card's operations, exclusive for the format).
#include "platform/files/format_guard.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/text_codec.h"

namespace dashcam {
namespace {

// True when the folder is a real folder (not a link) of this user that nobody else may enter.
bool IsPrivateFolder(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() &&
           (st.st_mode & 077) == 0;
}

} // namespace

std::filesystem::path PrivateRuntimeFolder() {
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime == '/' && IsPrivateFolder(runtime))
        return runtime;
    const char* tmp = std::getenv("TMPDIR");
    const std::string folder = std::string(tmp && *tmp == '/' ? tmp : "/tmp") + "/dashcam-" +
                               std::to_string(static_cast<unsigned long>(::geteuid()));
    ::mkdir(folder.c_str(), 0700);
    // Someone else's folder of that name (made first to catch our lock files) is never used.
    return IsPrivateFolder(folder) ? std::filesystem::path(folder) : std::filesystem::path();
}

void FormatGuard::Take(const std::u16string& name, Kind kind, std::chrono::milliseconds wait) {
    const std::filesystem::path folder = PrivateRuntimeFolder();
    const std::string path = folder.native() + "/dashcam-format-" + Utf16ToUtf8(name) + ".lock";
    // Only a format makes the lock file: where there is none, no format of the volume has run on this computer.
    const int fd = folder.empty() ? -1
                                  : ::open(path.c_str(),
                                           O_RDWR | O_NOFOLLOW | O_CLOEXEC | (kind == Kind::Format ? O_CREAT : 0), 0600);
    if (fd < 0) {
        // Without the lock no format can have taken it either: an operation goes ahead.
        held_ = kind == Kind::Use;
        message_ = std::string("the format lock cannot be opened (") +
                   (folder.empty() ? "no private folder for it" : std::strerror(errno)) + ")";
        return;
    }
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        if (::flock(fd, (kind == Kind::Format ? LOCK_EX : LOCK_SH) | LOCK_NB) == 0)
            break;
        const int error = errno;
        if ((error != EWOULDBLOCK && error != EINTR) || std::chrono::steady_clock::now() >= deadline) {
            // A lock this computer cannot take at all (ENOLCK) holds nothing back: an operation goes ahead.
            held_ = kind == Kind::Use && error != EWOULDBLOCK;
            message_ = error == EWOULDBLOCK ? kFormatting : std::strerror(error);
            ::close(fd);
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    handle_ = fd;
    held_ = true;
}

void FormatGuard::Give(std::intptr_t handle) { ::close(static_cast<int>(handle)); }

} // namespace dashcam
