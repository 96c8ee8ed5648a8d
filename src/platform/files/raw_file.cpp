#include "platform/files/raw_file.h"

#include <utility>

namespace dashcam {

// The system calls themselves are in posix/posix_raw_file.cpp and win32/win32_raw_file.cpp.

RawFile::~RawFile() { Close(); }

RawFile::RawFile(RawFile&& other) noexcept { *this = std::move(other); }

RawFile& RawFile::operator=(RawFile&& other) noexcept {
    if (this != &other) {
        Close();
        handle_ = std::exchange(other.handle_, kClosed);
        open_ = std::exchange(other.open_, false);
        missing_ = other.missing_;
        link_ = other.link_;
        error_ = std::move(other.error_);
    }
    return *this;
}

void RawFile::SyncFolderOf(const std::filesystem::path& file) {
    // The path up to its last separator, spelled as given ("card/" for "card/setup.cfg").
    SyncFolder(std::filesystem::path(file).remove_filename());
}

} // namespace dashcam
