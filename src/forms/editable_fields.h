#pragma once
// Which fields the setting pages edit, and which values their controls can store there, as the pages' tables
// declare them. Scripts that set fields (dashcam-cfg set) are held to the same values unless forced.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/settings_record.h"

namespace dashcam {

// True when a page edits the field.
bool IsEditableField(std::string_view name);

// What the controls can store in one editable field: the range low … high, or exactly the values in `only` when
// it is not empty. For texts the range is empty.
struct ControlValues {
    std::string_view name;
    std::int64_t low;
    std::int64_t high;
    std::vector<std::int64_t> only;
    // A list box of the card's languages stores any index into the card's list, besides the values in `only`.
    bool cardLanguageIndex = false;
    // Check boxes set and clear these bits one by one; the others stay as loaded. 0 when no check box does.
    std::uint32_t bits = 0;
};
// Every editable field, in the order of the record.
const std::vector<ControlValues>& EditableFieldValues();

// Checks an integer for an editable field against what its controls can store. `languageCount` is the number of
// entries in the card's language list (the language box offers that many). Returns an explanation when the value
// cannot be stored, or nullopt when it can.
std::optional<std::string> CheckControlValue(std::string_view name, std::int64_t value, const SettingsRecord& record,
                                             std::size_t languageCount);

// What the controls can store in a field, in words: "0-2", "6, 12, 24, 48", "text of at most 32 bytes", …
std::string AllowedValuesText(const ControlValues& values);

} // namespace dashcam
