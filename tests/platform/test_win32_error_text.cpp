// The system's words for a failed Win32 call, as the program shows them.
#ifdef _WIN32
#include <gtest/gtest.h>

#include <windows.h>

#include "platform/text_codec.h"
#include "platform/win32/win32_error_text.h"

namespace dashcam {
namespace {

TEST(Win32ErrorText, IsUtf8WithoutTheClosingDotOrLineBreak) {
    // What a missing file makes the system say, as a failed open leaves it.
    ASSERT_EQ(CreateFileW(L"no such folder\\no such file", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
    for (const DWORD code : {GetLastError(), DWORD{ERROR_FILE_NOT_FOUND}, DWORD{ERROR_ACCESS_DENIED}}) {
        const std::string text = Win32ErrorText(code);
        ASSERT_FALSE(text.empty()) << code;
        EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16(text)), text) << code; // valid UTF-8 comes back unchanged
        EXPECT_EQ(std::string_view(".\r\n ").find(text.back()), std::string_view::npos) << text;
    }
    // A code without a message still says which it was.
    EXPECT_EQ(Win32ErrorText(0x2000FFFF), "Windows error 536936447");
}

} // namespace
} // namespace dashcam
#endif
