#pragma once
// An interface text in the current language, as the widgets take it.
#include <QString>

#include <string_view>

#include "i18n/language_table.h"

namespace dashcam {

inline QString UiText(std::u16string_view key) {
    return QString::fromStdU16String(LookupText(key));
}

} // namespace dashcam
