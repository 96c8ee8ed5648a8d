#pragma once
// Conversions between the program's UTF-16 text, UTF-8 (file names and console output off Windows) and the 8-bit
// ANSI code page that the record's texts use (the system's code page on Windows, Windows-1252 elsewhere).
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace dashcam {

std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

// 8-bit ANSI text to UTF-16, the whole input (NUL bytes included, as MultiByteToWideChar with an explicit length).
// nullopt when the bytes are not valid text in the code page.
std::optional<std::u16string> AnsiToWide(std::string_view bytes);
// UTF-16 to the ANSI code page; characters the code page lacks become '?'.
std::string WideToAnsi(std::u16string_view text);
// 8-bit ANSI text for display and traces: as AnsiToWide, or byte for byte when the bytes are not text in the code
// page, so that something is always shown.
std::u16string AnsiForDisplay(std::string_view bytes);

// A path for the standard library's file functions (UTF-8 off Windows, wide on Windows).
std::filesystem::path ToFsPath(std::u16string_view path);
// A standard library path as the program's UTF-16 text: ToFsPath the other way round.
std::u16string FromFsPath(const std::filesystem::path& path);

// ASCII text widened code unit by code unit (for fixed texts and formatted numbers).
std::u16string Widen(std::string_view ascii);

} // namespace dashcam
