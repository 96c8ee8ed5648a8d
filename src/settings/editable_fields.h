#pragma once
// Which fields the setting pages edit, and which values their controls can store there. Scripts that set fields
// (dashcam-cfg set) are held to the same values unless forced.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "settings/settings_record.h"

namespace dashcam {

// True when a page edits the field.
bool IsEditableField(std::string_view name);

// Checks an integer for an editable field against what its control can store. `languageCount` is the number of
// entries in the card's language list (the language box offers that many). Returns an explanation when the value
// cannot be stored, or nullopt when it can.
std::optional<std::string> CheckControlValue(std::string_view name, std::int64_t value, const SettingsRecord& record,
                                             std::size_t languageCount);

} // namespace dashcam
