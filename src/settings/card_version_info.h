#pragma once
// What the card's lang/ver.dat says about the firmware and its languages.
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace dashcam {

struct CardVersionInfo {
    std::u16string version;
    std::u16string packName;
    std::u16string device;
    std::vector<std::u16string> languageCodes;
    std::vector<std::u16string> languageNames; // may be shorter than languageCodes
};

// Fills info from folder + "ver.dat"; a missing file leaves it empty. The folder ends in the path separator.
void ReadVersionFile(const std::u16string& folder, CardVersionInfo& info);

struct LanguageCode {
    std::u16string_view code;
    std::u16string_view name;
};
// The 165 language codes and English names that ver.dat codes stand for, in their fixed order.
std::span<const LanguageCode> LanguageCodeTable();

} // namespace dashcam
