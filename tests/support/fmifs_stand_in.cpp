// A stand-in for the system's format library, for the Windows formatter's tests: FormatEx checks what it is
// given, reports five progress steps and a result through the callback (1 only when every argument was
// valid), and keeps the last call for the test to inspect. Nothing is formatted; with DASHCAM_FMIFS_ERASES set in
// its environment (the window's Format test, on a card of its own), a valid call erases what the volume holds,
// as a format does.
#include "fmifs_stand_in.h"

#include <cwchar>
#include <string>

namespace {

using Callback = BOOLEAN(WINAPI*)(DWORD command, DWORD subAction, PVOID info);

FormatExCall g_last;

void CopyText(wchar_t* to, std::size_t size, const wchar_t* from) {
    std::wcsncpy(to, from ? from : L"", size - 1);
    to[size - 1] = L'\0';
}

// Deletes the files and folders in `folder` (ending in a separator).
void Erase(const std::wstring& folder) {
    WIN32_FIND_DATAW entry;
    const HANDLE find = FindFirstFileW((folder + L"*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            Erase(folder + name + L"\\");
            RemoveDirectoryW((folder + name).c_str());
        } else {
            DeleteFileW((folder + name).c_str());
        }
    } while (FindNextFileW(find, &entry));
    FindClose(find);
}

} // namespace

extern "C" __declspec(dllexport) VOID WINAPI
    FormatEx(PWCHAR volume, DWORD mediaKind, PWCHAR fileSystem, PWCHAR label, BOOL quick, DWORD clusterSize,
             Callback callback) {
    g_last = {};
    CopyText(g_last.volume, 16, volume);
    g_last.mediaKind = mediaKind;
    CopyText(g_last.fileSystem, 16, fileSystem);
    CopyText(g_last.label, 64, label);
    g_last.quick = quick;
    g_last.clusterSize = clusterSize;
    if (!callback)
        return;
    const bool valid = volume && std::wcslen(volume) == 3 && volume[1] == L':' && volume[2] == L'\\' &&
                       mediaKind == 11 && fileSystem &&
                       (std::wcscmp(fileSystem, L"FAT32") == 0 || std::wcscmp(fileSystem, L"exfat") == 0) &&
                       label && (clusterSize == 0 || clusterSize == 32768);
    BOOLEAN result = valid ? 1 : 0;
    if (valid && GetEnvironmentVariableW(L"DASHCAM_FMIFS_ERASES", nullptr, 0) > 0)
        Erase(volume);
    for (int i = 0; i < 5; ++i) {
        if (!callback(15, 0, nullptr)) {
            result = 0;
            break;
        }
        ++g_last.steps;
    }
    callback(11, 0, &result);
}

extern "C" __declspec(dllexport) const FormatExCall* WINAPI LastFormatExCall() {
    return &g_last;
}
