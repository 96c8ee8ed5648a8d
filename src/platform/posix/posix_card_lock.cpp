// The card lock on POSIX systems: flock on the card folder, or on a lock file of this computer where the card's
// file system cannot lock.
#include "platform/files/card_lock.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/files/format_guard.h"

namespace dashcam {
namespace {

using Clock = std::chrono::steady_clock;

enum class Try { Held, Busy, Unsupported };

// Tries flock on `fd` until it is ours or `deadline` passes.
Try LockUntil(int fd, Clock::time_point deadline) {
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
            return Try::Held;
        if (errno != EWOULDBLOCK && errno != EINTR)
            return Try::Unsupported;
        if (Clock::now() >= deadline)
            return Try::Busy;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

// Where the card's file system cannot lock, a lock file of this computer named after the folder's identity.
int OpenLocalLockFile(int folderFd, std::string& why) {
    struct stat st {};
    if (::fstat(folderFd, &st) != 0) {
        why = std::strerror(errno);
        return -1;
    }
    // In a folder only this user can write: in a shared one, another user could hold our lock file or plant a link
    // in its place.
    const std::filesystem::path folder = PrivateRuntimeFolder();
    if (folder.empty()) {
        why = "no folder of this user's own for lock files";
        return -1;
    }
    const std::string path = folder.native() + "/dashcam-card-" +
                             std::to_string(static_cast<unsigned long long>(st.st_dev)) + "-" +
                             std::to_string(static_cast<unsigned long long>(st.st_ino)) + ".lock";
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        why = std::strerror(errno);
    return fd;
}

} // namespace

CardLock::State CardLock::Take(const std::filesystem::path& folder, std::chrono::milliseconds wait,
                               std::intptr_t& handle, std::string& note, std::string& why) {
    const Clock::time_point deadline = Clock::now() + wait;
    int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        why = std::string("the card folder cannot be opened (") + std::strerror(errno) + ")";
        return CardLock::State::Failed;
    }
    Try result = LockUntil(fd, deadline);
    if (result == Try::Unsupported) {
        std::string localWhy;
        const int local = OpenLocalLockFile(fd, localWhy);
        ::close(fd);
        fd = local;
        if (fd < 0) {
            why = "the card's file system cannot lock files, nor can this computer (" + localWhy + ")";
            return CardLock::State::Failed;
        }
        note = "the card's file system cannot lock files: the card is locked on this computer only";
        result = LockUntil(fd, deadline);
    }
    if (result != Try::Held) {
        ::close(fd);
        why = kInUse;
        return result == Try::Busy ? CardLock::State::InUse : CardLock::State::Failed;
    }
    handle = fd;
    return CardLock::State::Held;
}

void CardLock::Give(std::intptr_t handle) { ::close(static_cast<int>(handle)); }

} // namespace dashcam
