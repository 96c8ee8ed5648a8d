#pragma once
// The twelve language files carried inside the program (res/lang/*.lng, embedded at build time).
#include <array>
#include <span>
#include <string_view>

namespace dashcam {

// The bytes of the language file whose name equals baseName without regard to case ("GERMAN", "german"),
// byte- order mark included; an empty span when the program carries no such file. Generated from res/lang by
// the build.
std::span<const unsigned char> EmbeddedLanguageResource(std::string_view baseName);

// The names of the twelve language files, in lower case: the names that LoadLanguage is given.
inline constexpr std::array<std::string_view, 12> kLanguageNames = {
    "english", "french",  "german", "italian", "japanese",          "portuguese",
    "russian", "spanish", "korean", "thai",    "chinesesimplified", "chinesetraditional"};

} // namespace dashcam
