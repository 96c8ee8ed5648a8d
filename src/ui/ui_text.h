#pragma once
// An interface text in the current language, as the widgets take it.
#include <QString>

#include <string_view>

#include "i18n/language_table.h"

namespace dashcam {

// The main window's caption, which the task bar shows, and the caption of the program's own messages.
inline constexpr char16_t kWindowCaption[] = u"Kestravon Dashcam Setting";

inline QString UiText(std::u16string_view key) {
    return QString::fromStdU16String(LookupText(key));
}

} // namespace dashcam
