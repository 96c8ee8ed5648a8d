#pragma once
// What every page test starts from: the project's fonts, the 100 % scale, English texts and no queued answers.
#include <filesystem>

#include "i18n/language_table.h"
#include "platform/prompt.h"
#include "ui/dpi_scale.h"
#include "ui/fonts.h"

namespace dashcam::test {

inline const std::filesystem::path kSampleCard = std::filesystem::path(DASHCAM_SOURCE_DIR) / "examples" / "card";

// False when the English texts could not be loaded.
inline bool PreparePageTest() {
    RegisterProjectFonts();
    SetScaleFromDpi(96);
    ResetLanguageTable();
    prompt::Reset();
    return LoadLanguage(u"english");
}

} // namespace dashcam::test
