#pragma once
// Exclusive access to a card's settings files between our own processes: the editor and dashcam-cfg take it
// around every load and save, so that two saves never interleave and a load never sees half of one.
#include <chrono>
#include <compare>
#include <cstdint>
#include <filesystem>
#include <string>

namespace dashcam {

class CardLock {
public:
    enum class State {
        Held,   // this process has the card to itself (until the lock goes)
        InUse,  // another process kept it for longer than the wait
        Failed, // the folder cannot be opened for locking
    };

    // Takes the lock of a card folder, waiting up to `wait` for another holder to let go. The lock is counted
    // within the process: a second Acquire of the same folder while the first is held succeeds at once, however
    // the folder is spelled.
    static CardLock Acquire(const std::filesystem::path& folder,
                            std::chrono::milliseconds wait = DefaultWait());

    CardLock() = default;
    ~CardLock();
    CardLock(CardLock&& other) noexcept;
    CardLock& operator=(CardLock&& other) noexcept;
    CardLock(const CardLock&) = delete;
    CardLock& operator=(const CardLock&) = delete;

    State state() const { return state_; }
    bool held() const { return state_ == State::Held; }
    // The reason of InUse or Failed; for Held, a note when the card's file system cannot lock and the lock
    // only holds between processes of this computer.
    const std::string& message() const { return message_; }

    // How long Acquire waits by default; tests shorten it.
    static std::chrono::milliseconds DefaultWait();
    static void SetDefaultWait(std::chrono::milliseconds wait);

    // Which folder a lock is of: its identity (device and inode, or volume and file index), or its spelling where
    // that cannot be asked.
    struct FolderKey {
        bool identified = false;
        std::uint64_t device = 0;
        std::uint64_t index = 0;
        std::filesystem::path::string_type spelling;
        auto operator<=>(const FolderKey&) const = default;
    };

private:
    // The system's half (posix/posix_card_lock.cpp, win32/win32_card_lock.cpp): takes the lock of a folder
    // between processes, waiting up to `wait`. `handle` gets what Give lets go of, `note` what the holder should
    // hear of, `why` the reason of InUse or Failed.
    static State Take(const std::filesystem::path& folder, std::chrono::milliseconds wait,
                      std::intptr_t& handle, std::string& note, std::string& why);
    static void Give(std::intptr_t handle);
    static constexpr char kInUse[] = "the card's settings are in use by another program";

    void Release();
    FolderKey key_;
    State state_ = State::Failed;
    std::string message_;
    bool owns_ = false;
};

} // namespace dashcam
