#include "text_codec.h"

#include <array>
#include <cstdint>

#ifdef _WIN32
#include <windows.h>
#endif

namespace dashcam {

std::u16string Utf8ToUtf16(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        auto b = static_cast<unsigned char>(utf8[i]);
        char32_t cp = 0xFFFD;
        std::size_t len = 1;
        if (b < 0x80) {
            cp = b;
        } else if ((b >> 5) == 0x6) {
            len = 2;
            cp = b & 0x1F;
        } else if ((b >> 4) == 0xE) {
            len = 3;
            cp = b & 0x0F;
        } else if ((b >> 3) == 0x1E) {
            len = 4;
            cp = b & 0x07;
        } else {
            len = 0;
        }
        bool ok = len > 0 && i + len <= utf8.size();
        for (std::size_t k = 1; ok && k < len; ++k) {
            auto c = static_cast<unsigned char>(utf8[i + k]);
            if ((c >> 6) != 0x2)
                ok = false;
            else
                cp = (cp << 6) | (c & 0x3F);
        }
        // Overlong forms (C0 80 for NUL, E0 80 AF for '/') and encoded surrogates are not text: they would smuggle a
        // character past every check made on the decoded text.
        static constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
        if (ok && (cp < kLeast[len] || (cp >= 0xD800 && cp <= 0xDFFF)))
            ok = false;
        if (!ok) {
            out.push_back(u'\xFFFD');
            ++i;
            continue;
        }
        i += len;
        if (cp >= 0x10000 && cp <= 0x10FFFF) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char16_t>(cp));
        } else {
            out.push_back(u'\xFFFD');
        }
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
    std::string out;
    out.reserve(utf16.size());
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        char32_t cp = utf16[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
            utf16[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

#ifndef _WIN32
namespace {
// Bytes 0x80 … 0x9F of code page 1252. The five it leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for
// the control characters of the same number, as Windows converts them.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
} // namespace
#endif

std::optional<std::u16string> AnsiToWide(std::string_view bytes) {
#ifdef _WIN32
    if (bytes.empty())
        return std::u16string();
    int n = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
                                nullptr, 0);
    if (n <= 0)
        return std::nullopt;
    std::wstring w(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), w.data(), n);
    return std::u16string(w.begin(), w.end());
#else
    std::u16string out;
    out.reserve(bytes.size());
    for (char ch : bytes) {
        auto b = static_cast<unsigned char>(ch);
        if (b >= 0x80 && b <= 0x9F) {
            out.push_back(kCp1252High[b - 0x80]);
        } else {
            out.push_back(b);
        }
    }
    return out;
#endif
}

std::string WideToAnsi(std::u16string_view text) {
#ifdef _WIN32
    if (text.empty())
        return {};
    std::wstring w(text.begin(), text.end());
    int n = WideCharToMultiByte(CP_ACP, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        WideCharToMultiByte(CP_ACP, 0, w.data(), static_cast<int>(w.size()), out.data(), n, nullptr, nullptr);
    return out;
#else
    std::string out;
    out.reserve(text.size());
    for (char16_t c : text) {
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            out.push_back(static_cast<char>(c));
            continue;
        }
        char mapped = '?';
        for (std::size_t i = 0; i < kCp1252High.size(); ++i)
            if (kCp1252High[i] == c)
                mapped = static_cast<char>(0x80 + i);
        out.push_back(mapped);
    }
    return out;
#endif
}

std::u16string AnsiForDisplay(std::string_view bytes) { return AnsiToWide(bytes).value_or(Widen(bytes)); }

std::u16string Widen(std::string_view ascii) {
    std::u16string out;
    out.reserve(ascii.size());
    for (char c : ascii)
        out.push_back(static_cast<char16_t>(static_cast<unsigned char>(c)));
    return out;
}

std::filesystem::path ToFsPath(std::u16string_view path) {
#ifdef _WIN32
    return std::filesystem::path(std::wstring(path.begin(), path.end()));
#else
    return std::filesystem::path(Utf16ToUtf8(path));
#endif
}

std::u16string FromFsPath(const std::filesystem::path& path) {
#ifdef _WIN32
    return std::u16string(path.native().begin(), path.native().end());
#else
    return Utf8ToUtf16(path.native());
#endif
}

} // namespace dashcam
