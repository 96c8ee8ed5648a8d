#include "platform/files/format_guard.h"

#include <mutex>
#include <set>
#include <utility>

namespace dashcam {
namespace {

// The device's name as a file or object name: letters and digits kept, everything else '-'.
std::u16string NameOf(const std::u16string& device) {
    std::u16string out;
    for (char16_t c : device)
        out.push_back((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') ? c : u'-');
    return out;
}

// The volumes this process formats: its own card operations during the format (the backup and the restore)
// go ahead.
std::mutex g_mutex;
std::set<std::u16string>& OwnFormats() {
    static auto* formats = new std::set<std::u16string>;
    return *formats;
}

} // namespace

FormatGuard FormatGuard::Acquire(const std::u16string& device, Kind kind, std::chrono::milliseconds wait) {
    FormatGuard guard;
    if (kind == Kind::Use) {
        std::lock_guard<std::mutex> hold(g_mutex);
        if (OwnFormats().count(device)) {
            guard.held_ = true;
            return guard;
        }
    }
    guard.Take(NameOf(device), kind, wait);
    if (guard.held_ && kind == Kind::Format) {
        guard.device_ = device;
        std::lock_guard<std::mutex> hold(g_mutex);
        OwnFormats().insert(device);
    }
    return guard;
}

void FormatGuard::Release() {
    if (handle_ != -1)
        Give(handle_);
    if (!device_.empty()) {
        std::lock_guard<std::mutex> hold(g_mutex);
        OwnFormats().erase(device_);
    }
    device_.clear();
    handle_ = -1;
    held_ = false;
}

FormatGuard::~FormatGuard() { Release(); }

FormatGuard::FormatGuard(FormatGuard&& other) noexcept { *this = std::move(other); }

FormatGuard& FormatGuard::operator=(FormatGuard&& other) noexcept {
    if (this != &other) {
        Release();
        held_ = std::exchange(other.held_, false);
        handle_ = std::exchange(other.handle_, -1);
        device_ = std::exchange(other.device_, {});
        message_ = std::move(other.message_);
    }
    return *this;
}

} // namespace dashcam
