#include "host_system.h"
#include "viewer_link.h"
#include "volume_formatter.h"

#include <filesystem>
#include <string>
#include <system_error>

#include "text_codec.h"

namespace dashcam {

HostSystem& PlatformHost();     // posix/ or win32/
ViewerLink& PlatformViewer();   // posix/ or win32/
VolumeFormatter& PlatformFormatter(); // posix/ or win32/

namespace {
HostSystem* g_host = nullptr;
ViewerLink* g_viewer = nullptr;
VolumeFormatter* g_formatter = nullptr;
} // namespace

HostSystem& Host() { return g_host ? *g_host : PlatformHost(); }
void SetHost(HostSystem* host) { g_host = host; }
ViewerLink& Viewer() { return g_viewer ? *g_viewer : PlatformViewer(); }
void SetViewer(ViewerLink* viewer) { g_viewer = viewer; }
VolumeFormatter& Formatter() { return g_formatter ? *g_formatter : PlatformFormatter(); }
void SetFormatter(VolumeFormatter* formatter) { g_formatter = formatter; }

void ReportFormatDone(const FormatCallback& callback, bool succeeded) {
    const unsigned char result = succeeded ? 1 : 0;
    callback(kFormatDoneCommand, 0, &result);
}

std::u16string FileSystemLabel(const std::u16string& label, const std::u16string& fileSystem) {
    constexpr std::size_t kMaxLabel = 11;
    if (IsExfat(fileSystem)) {
        std::u16string out = label.substr(0, kMaxLabel);
        if (out.size() == kMaxLabel && out.back() >= 0xD800 && out.back() <= 0xDBFF)
            out.pop_back();
        return out;
    }
    static constexpr std::u16string_view kNotInFatLabels = u"\"*+,./:;<=>?[\\]|";
    std::u16string out;
    for (char16_t c : label) {
        if (out.size() == kMaxLabel)
            break;
        if (c >= u'a' && c <= u'z')
            c = static_cast<char16_t>(c - u'a' + u'A');
        else if (c < 0x20 || c > 0x7E || kNotInFatLabels.find(c) != std::u16string_view::npos)
            c = u'_';
        out.push_back(c);
    }
    return out;
}

bool IsExfat(const std::u16string& fileSystem) {
    std::u16string lower;
    for (char16_t c : fileSystem)
        lower.push_back(c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c);
    return lower == u"exfat";
}

namespace {
#ifdef _WIN32
bool IsSeparator(char16_t c) { return c == u'/' || c == u'\\'; }
#else
bool IsSeparator(char16_t c) { return c == u'/'; }
#endif
} // namespace

std::optional<VolumeIdentity> HostSystem::VolumeOf(const std::u16string& path) {
    VolumeIdentity volume;
    volume.root = VolumeRootOf(path);
    if (volume.root.empty())
        return std::nullopt;
    volume.device = volume.root;
    volume.removableCard = IsOnRemovableDrive(volume.root);
    if (!volume.removableCard)
        volume.notCardReason = u"it is not a removable drive";
    volume.totalBytes = VolumeTotalBytes(volume.root).value_or(0);
    return volume;
}

std::optional<std::u16string> HostSystem::CreatePrivateFolder(const std::u16string& parent,
                                                              const std::u16string& prefix) {
    std::u16string base = parent;
    std::error_code made;
    std::filesystem::create_directories(ToFsPath(base), made);
    if (!FolderExists(base))
        return std::nullopt;
    if (!base.empty() && base.back() != kPathSeparator)
        base.push_back(kPathSeparator);
    for (int n = 1; n < 1000; ++n) {
        std::u16string folder = base + prefix;
        for (char c : std::to_string(n))
            folder.push_back(static_cast<char16_t>(c));
        if (!FolderExists(folder) && CreateFolder(folder)) {
            std::error_code ec;
            std::filesystem::permissions(ToFsPath(folder), std::filesystem::perms::owner_all, ec);
            return folder + kPathSeparator;
        }
    }
    return std::nullopt;
}

std::u16string DriveRootOf(const std::u16string& path) {
    for (std::size_t i = 0; i < path.size(); ++i)
        if (IsSeparator(path[i]))
            return path.substr(0, i + 1);
    return path;
}

std::u16string FolderOf(const std::u16string& path) {
    for (std::size_t i = path.size(); i > 0; --i)
        if (IsSeparator(path[i - 1]))
            return path.substr(0, i);
    return {};
}

} // namespace dashcam
