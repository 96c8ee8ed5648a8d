// The format lock on Windows: a named mutex of this computer per volume.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>

#include "platform/files/format_guard.h"

namespace dashcam {

void FormatGuard::Take(const std::u16string& name, Kind kind, std::chrono::milliseconds wait) {
    // A format takes the volume's mutex; an operation only checks that no format holds it.
    const std::wstring mutexName = L"Local\\DashcamFormat-" + std::wstring(name.begin(), name.end());
    HANDLE mutex = ::CreateMutexW(nullptr, FALSE, mutexName.c_str());
    if (!mutex) {
        message_ = "the format lock cannot be created";
        return;
    }
    const DWORD r = ::WaitForSingleObject(mutex, static_cast<DWORD>(wait.count()));
    if (r != WAIT_OBJECT_0 && r != WAIT_ABANDONED) {
        ::CloseHandle(mutex);
        message_ = kFormatting;
        return;
    }
    if (kind == Kind::Use) {
        ::ReleaseMutex(mutex);
        ::CloseHandle(mutex);
        held_ = true;
        return;
    }
    handle_ = reinterpret_cast<std::intptr_t>(mutex);
    held_ = true;
}

void FormatGuard::Give(std::intptr_t handle) {
    ::ReleaseMutex(reinterpret_cast<HANDLE>(handle));
    ::CloseHandle(reinterpret_cast<HANDLE>(handle));
}

} // namespace dashcam
