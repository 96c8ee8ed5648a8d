#include "support/fake_host.h"

#include "platform/text_codec.h"

#include <fstream>

namespace dashcam::test {
namespace fs = std::filesystem;
namespace {
fs::path P(const std::u16string& s) { return ToFsPath(s); }
} // namespace

bool FakeHost::IsFolderWritable(const std::u16string& folder) {
    if (!foldersWritable)
        return false;
    const fs::path probe = P(folder) / "~write-probe.tmp";
    std::error_code ec;
    {
        std::ofstream out(probe);
        if (!out)
            return false;
    }
    fs::remove(probe, ec);
    return true;
}

bool FakeHost::CreateFolder(const std::u16string& path) {
    std::error_code ec;
    fs::create_directory(P(path), ec);
    return fs::is_directory(P(path), ec);
}

bool FakeHost::FolderExists(const std::u16string& path) {
    std::error_code ec;
    return fs::is_directory(P(path), ec);
}

bool FakeHost::CopyFileOver(const std::u16string& from, const std::u16string& to) {
    if (copyFails)
        return false;
    std::error_code ec;
    // Removing first keeps the fake independent of how a standard library overwrites (MinGW's refuses to).
    fs::remove(P(to), ec);
    fs::copy_file(P(from), P(to), ec);
    return !ec;
}

bool FakeHost::CopyFolderInto(const std::u16string& folder, const std::u16string& destinationFolder) {
    std::error_code ec;
    fs::path src = P(folder);
    fs::remove_all(P(destinationFolder) / src.filename(), ec);
    fs::copy(src, P(destinationFolder) / src.filename(), fs::copy_options::recursive | fs::copy_options::overwrite_existing,
             ec);
    return !ec;
}

} // namespace dashcam::test
