#include "host_system.h"
#include "viewer_link.h"
#include "volume_formatter.h"

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

namespace {
#ifdef _WIN32
bool IsSeparator(char16_t c) { return c == u'/' || c == u'\\'; }
#else
bool IsSeparator(char16_t c) { return c == u'/'; }
#endif
} // namespace

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
