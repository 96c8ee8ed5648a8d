#include "win32_volume_formatter.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace dashcam {
namespace {

// The media kind FormatEx takes for a removable medium (RemovableMedia of MEDIA_TYPE).
constexpr DWORD kRemovableMedia = 11;

using FormatExCallback = BOOLEAN(WINAPI*)(DWORD command, DWORD subAction, PVOID info);
using FormatExFunction = VOID(WINAPI*)(PWCHAR volume, DWORD mediaKind, PWCHAR fileSystem, PWCHAR label,
                                       BOOL quick, DWORD clusterSize, FormatExCallback callback);

// FormatEx calls back on the thread that called it, without a context argument: the callback of the format
// that runs on this thread.
thread_local const FormatCallback* t_callback = nullptr;

BOOLEAN WINAPI Relay(DWORD command, DWORD subAction, PVOID info) {
    if (!t_callback)
        return TRUE;
    return (*t_callback)(static_cast<int>(command), static_cast<int>(subAction), info) ? TRUE : FALSE;
}

PWCHAR Writable(std::wstring& text) {
    return text.data();
}

} // namespace

FormatRun Win32VolumeFormatter::Format(const FormatRequest& request, const FormatCallback& callback) {
    FormatRun run;
    run.volumeAfter = request.volume;
    const std::wstring libraryName(library_.begin(), library_.end());
    const HMODULE library = LoadLibraryW(libraryName.c_str());
    if (!library) {
        run.unavailableText = u"LoadLibrary(fmifs.dll) failed";
        return run;
    }
    const auto formatEx = reinterpret_cast<FormatExFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(libraryName.c_str()), "FormatEx")));
    if (!formatEx) {
        run.unavailableText = u"GetProcAddress(fmifs) failed";
        FreeLibrary(library);
        return run;
    }
    std::wstring volume(request.volume.begin(), request.volume.end());
    // Only the volume the user confirmed: a card pulled out or swapped since has another volume name at the same
    // drive letter, or none.
    if (!request.device.empty()) {
        wchar_t name[MAX_PATH] = {};
        const bool same = GetVolumeNameForVolumeMountPointW(volume.c_str(), name, MAX_PATH) &&
                          std::u16string(reinterpret_cast<const char16_t*>(name)) == request.device;
        if (!same) {
            FreeLibrary(library);
            run.ran = true;
            run.note = u"the memory card in " + request.volume + u" was taken out or replaced; nothing was erased";
            ReportFormatDone(callback, false);
            return run;
        }
    }
    std::wstring fileSystem(request.fileSystem.begin(), request.fileSystem.end());
    std::wstring label(request.label.begin(), request.label.end());
    const FormatCallback* previous = t_callback;
    t_callback = &callback;
    run.erased = true;
    formatEx(Writable(volume), kRemovableMedia, Writable(fileSystem), Writable(label),
             request.quick ? TRUE : FALSE, request.clusterSize, Relay);
    t_callback = previous;
    FreeLibrary(library);
    run.ran = true;
    return run;
}

VolumeFormatter& PlatformFormatter() {
    static Win32VolumeFormatter formatter;
    return formatter;
}

} // namespace dashcam
