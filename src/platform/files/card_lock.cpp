#include "platform/files/card_lock.h"

#include <cstdint>
#include <map>
#include <utility>

#include "platform/files/format_guard.h"
#include "platform/files/raw_file.h"
#include "platform/host_system.h"
#include "platform/text_codec.h"

namespace dashcam {
namespace {

struct Holding {
    std::intptr_t handle = -1; // what the system's Take holds: a descriptor or a mutex handle
    int count = 0;
    std::string note;
    FormatGuard format; // keeps a format of the card's volume out while the card is in use
};

using FolderKey = CardLock::FolderKey;

// The lock is counted per folder, whatever its spelling ("./card", "card/", a link to it): by its identity, or by
// its spelling where the identity cannot be asked (the folder is then not there, and Take fails anyway).
FolderKey KeyOf(const std::filesystem::path& folder) {
    if (auto identity = RawFile::IdentityOf(folder))
        return {true, identity->device, identity->index, {}};
    return {false, 0, 0, folder.native()};
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

} // namespace

std::chrono::milliseconds CardLock::DefaultWait() { return WaitSlot(); }
void CardLock::SetDefaultWait(std::chrono::milliseconds wait) { WaitSlot() = wait; }

CardLock CardLock::Acquire(const std::filesystem::path& folder, std::chrono::milliseconds wait) {
    CardLock lock;
    const FolderKey key = KeyOf(folder);
    Holding& h = Holdings()[key];
    if (h.count == 0) {
        // A format of the card's volume holds its lock on this computer, not on the card: wait for it first.
        if (const auto volume = Host().VolumeOf(FromFsPath(folder))) {
            h.format = FormatGuard::Acquire(volume->device, FormatGuard::Kind::Use, wait);
            if (!h.format.held()) {
                lock.state_ = State::InUse;
                lock.message_ = h.format.message();
                Holdings().erase(key);
                return lock;
            }
        }
        lock.state_ = Take(folder, wait, h.handle, h.note, lock.message_);
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
    Give(it->second.handle);
    Holdings().erase(it);
}

} // namespace dashcam
