#include "win32_error_text.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include "../text_codec.h"

namespace dashcam {

std::string Win32ErrorText(unsigned long code) {
    // The wide message: the ANSI one would be in the system's code page, not UTF-8.
    wchar_t* text = nullptr;
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::u16string message = n && text ? std::u16string(reinterpret_cast<const char16_t*>(text), n) : u"";
    if (text)
        LocalFree(text);
    while (!message.empty() && (message.back() == u'\n' || message.back() == u'\r' || message.back() == u' ' ||
                                message.back() == u'.'))
        message.pop_back();
    if (message.empty())
        return "Windows error " + std::to_string(code);
    return Utf16ToUtf8(message);
}

} // namespace dashcam
