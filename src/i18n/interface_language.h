#pragma once
// The one-time choice of the interface language at start-up: the PC viewer's language when the viewer is
// running, otherwise the language that the camera is set to.
#include <optional>
#include <string>
#include <string_view>

#include "settings/card_version_info.h"
#include "settings/settings_record.h"

namespace dashcam {

// Title of the PC viewer's main window.
inline constexpr std::u16string_view kViewerWindowTitle = u"KESTRAVON DASHCAM PC VIEWER";
// The longest viewer language value that the editor reads (a 260-byte buffer of UTF-16 with its terminator).
inline constexpr std::size_t kViewerLanguageMaxLength = 129;

// Reads the language that the PC viewer recorded (Viewer().ReadLanguageValue()) and keeps it for the rest of
// the run. An absent value, or one longer than kViewerLanguageMaxLength characters, gives no name.
void ReadViewerLanguage();
// What ReadViewerLanguage kept: nullopt before it ran or when there was no usable value.
const std::optional<std::u16string>& ViewerLanguageName();

// The interface language index (0..14) that the current viewer state and the card give: with the viewer
// window open, its language name (case ignored); otherwise the camera's language code at position
// deviceLanguage of the card's code list (case kept). English (0) for anything unknown, an empty list, a
// position beyond the list, or no record.
int ChooseInterfaceLanguageIndex(const CardVersionInfo& card, const SettingsRecord* record);
// Chooses the index as above and loads that language into the process-wide LanguageTable.
void ChooseInterfaceLanguage(const CardVersionInfo& card, const SettingsRecord* record);

// The language name that an interface language index stands for ("english" for any index without one).
std::u16string_view InterfaceLanguageName(int index);
// Loads the language of the index into the process-wide LanguageTable; a failed load is not reported (the
// interface then shows "Error Loading").
void SetInterfaceLanguage(int index);

// Forgets the viewer language (tests).
void ResetViewerLanguage();

} // namespace dashcam
