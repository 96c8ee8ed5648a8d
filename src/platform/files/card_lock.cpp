#include "platform/files/card_lock.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <cwctype>
#include <map>
#include <thread>
#include <utility>

#include "platform/files/format_guard.h"
#include "platform/files/raw_file.h"
#include "platform/host_system.h"
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

using Clock = std::chrono::steady_clock;

struct Holding {
    std::intptr_t handle = -1; // descriptor or mutex handle
    int count = 0;
    std::string note;
    FormatGuard format; // keeps a format of the card's volume out while the card is in use
};

using FolderKey = CardLock::FolderKey;

// The lock is counted per folder, whatever its spelling ("./card", "card/", a link to it): by its identity, or by
// its spelling where the identity cannot be asked (the folder is then not there, and Take fails anyway).
FolderKey KeyOf(const std::u16string& folder) {
    if (auto identity = RawFile::IdentityOf(folder.empty() ? u"." : folder))
        return {true, identity->device, identity->index, {}};
    return {false, 0, 0, folder};
}

// Never destroyed: a lock kept in a static object may be released after other statics are gone.
std::map<FolderKey, Holding>& Holdings() {
    static auto* holdings = new std::map<FolderKey, Holding>;
    return *holdings;
}

std::chrono::milliseconds& WaitSlot() {
    static std::chrono::milliseconds wait{3000};
    return wait;
}

const char* const kInUse = "the card's settings are in use by another program";

#ifndef _WIN32
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
    const std::string folder = Utf16ToUtf8(PrivateRuntimeFolder());
    if (folder.empty()) {
        why = "no folder of this user's own for lock files";
        return -1;
    }
    const std::string path = folder + "/dashcam-card-" + std::to_string(static_cast<unsigned long long>(st.st_dev)) +
                             "-" + std::to_string(static_cast<unsigned long long>(st.st_ino)) + ".lock";
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        why = std::strerror(errno);
    return fd;
}

CardLock::State Take(const std::u16string& folder, std::chrono::milliseconds wait, Holding& h, std::string& why) {
    const Clock::time_point deadline = Clock::now() + wait;
    int fd = ::open(Utf16ToUtf8(folder.empty() ? u"." : folder).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
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
        h.note = "the card's file system cannot lock files: the card is locked on this computer only";
        result = LockUntil(fd, deadline);
    }
    if (result != Try::Held) {
        ::close(fd);
        why = kInUse;
        return result == Try::Busy ? CardLock::State::InUse : CardLock::State::Failed;
    }
    h.handle = fd;
    return CardLock::State::Held;
}

void Give(Holding& h) { ::close(static_cast<int>(h.handle)); }
#else
CardLock::State Take(const std::u16string& folder, std::chrono::milliseconds wait, Holding& h, std::string& why) {
    // A named mutex per card folder, named after its identity (E:\ and e:\card\..\ are one folder); Windows hands an
    // abandoned one to the next waiter.
    std::wstring name = L"Local\\DashcamCard-";
    if (const auto identity = RawFile::IdentityOf(folder)) {
        name += std::to_wstring(identity->device) + L"-" + std::to_wstring(identity->index);
    } else {
        for (char16_t c : folder)
            name.push_back(c == u'\\' ? L'/' : static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c))));
    }
    HANDLE mutex = ::CreateMutexW(nullptr, FALSE, name.c_str());
    if (!mutex) {
        why = "the card's lock cannot be created";
        return CardLock::State::Failed;
    }
    const DWORD r = ::WaitForSingleObject(mutex, static_cast<DWORD>(wait.count()));
    if (r != WAIT_OBJECT_0 && r != WAIT_ABANDONED) {
        ::CloseHandle(mutex);
        why = kInUse;
        return CardLock::State::InUse;
    }
    h.handle = reinterpret_cast<std::intptr_t>(mutex);
    return CardLock::State::Held;
}

void Give(Holding& h) {
    HANDLE mutex = reinterpret_cast<HANDLE>(h.handle);
    ::ReleaseMutex(mutex);
    ::CloseHandle(mutex);
}
#endif

} // namespace

std::chrono::milliseconds CardLock::DefaultWait() { return WaitSlot(); }
void CardLock::SetDefaultWait(std::chrono::milliseconds wait) { WaitSlot() = wait; }

CardLock CardLock::Acquire(const std::u16string& folder, std::chrono::milliseconds wait) {
    CardLock lock;
    const FolderKey key = KeyOf(folder);
    Holding& h = Holdings()[key];
    if (h.count == 0) {
        // A format of the card's volume holds its lock on this computer, not on the card: wait for it first.
        if (const auto volume = Host().VolumeOf(folder)) {
            h.format = FormatGuard::Acquire(volume->device, FormatGuard::Kind::Use, wait);
            if (!h.format.held()) {
                lock.state_ = State::InUse;
                lock.message_ = h.format.message();
                Holdings().erase(key);
                return lock;
            }
        }
        lock.state_ = Take(folder, wait, h, lock.message_);
        if (lock.state_ != State::Held) {
            Holdings().erase(key);
            return lock;
        }
    }
    lock.key_ = key;
    ++h.count;
    lock.state_ = State::Held;
    lock.owns_ = true;
    lock.message_ = h.note;
    return lock;
}

CardLock::~CardLock() { Release(); }

CardLock::CardLock(CardLock&& other) noexcept { *this = std::move(other); }

CardLock& CardLock::operator=(CardLock&& other) noexcept {
    if (this != &other) {
        Release();
        key_ = std::move(other.key_);
        state_ = other.state_;
        message_ = std::move(other.message_);
        owns_ = std::exchange(other.owns_, false);
    }
    return *this;
}

void CardLock::Release() {
    if (!owns_)
        return;
    owns_ = false;
    auto it = Holdings().find(key_);
    if (it == Holdings().end() || --it->second.count > 0)
        return;
    Give(it->second);
    Holdings().erase(it);
}

} // namespace dashcam
