// The maker's PC viewer on Windows: its window is found by title, its language in the machine's registry.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>

#include "../viewer_link.h"

namespace dashcam {
namespace {

class Win32ViewerLink final : public ViewerLink {
public:
    bool IsWindowPresent(std::u16string_view title) override {
        const std::u16string text(title);
        return FindWindowW(nullptr, reinterpret_cast<const wchar_t*>(text.c_str())) != nullptr;
    }

    // HKEY_LOCAL_MACHINE\SOFTWARE\KESTRAVON\, value "LANGUAGE", read into 260 bytes: a longer value (more
    // than 129 characters and its terminator) is not read at all.
    std::optional<std::u16string> ReadLanguageValue() override {
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\KESTRAVON\\", 0, nullptr, REG_OPTION_NON_VOLATILE,
                            KEY_READ, nullptr, &key, nullptr) != ERROR_SUCCESS)
            return std::nullopt;
        wchar_t buffer[260] = {};
        DWORD type = 0;
        DWORD bytes = 260;
        const LONG status =
            RegQueryValueExW(key, L"LANGUAGE", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &bytes);
        RegCloseKey(key);
        if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
            return std::nullopt;
        return std::u16string(reinterpret_cast<const char16_t*>(buffer), bytes / sizeof(wchar_t));
    }

    bool PostToWindow(std::u16string_view title, std::uint32_t message) override {
        const std::u16string text(title);
        HWND window = FindWindowW(nullptr, reinterpret_cast<const wchar_t*>(text.c_str()));
        return window != nullptr && PostMessageW(window, message, 0, 0) != FALSE;
    }

    bool WaitForEvent(std::u16string_view name, std::uint32_t timeoutMs) override {
        const std::u16string text(name);
        HANDLE event = OpenEventW(EVENT_ALL_ACCESS, FALSE, reinterpret_cast<const wchar_t*>(text.c_str()));
        if (event == nullptr)
            return false;
        const DWORD result = WaitForSingleObject(event, timeoutMs);
        CloseHandle(event);
        return result == WAIT_OBJECT_0;
    }
};

} // namespace

ViewerLink& PlatformViewer() {
    static Win32ViewerLink viewer;
    return viewer;
}

} // namespace dashcam
